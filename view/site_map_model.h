// The site map `mainview`: a tree of pages (each under the page on which its link was
// found) and of the links that were found but not followed, as an item model for the view.
#pragma once

#include <QAbstractItemModel>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "crawl/capture_targets.h"
#include "crawl/link_queue.h"
#include "store/site_layout.h"

namespace ferrowyn {

// One column; each node has a text (a URL or a link, 8-bit, shown as Latin-1) and an
// image number, used both normally and when selected. Nodes are only ever appended as
// the last child of a node or as the last top-level node, and removed all at once, so a
// node's row never changes.
//
// Nodes are named by SiteMapNode handles. A handle is never reused: after Clear or
// SetTree the old handles name nothing, and operations given such a handle (or kNoNode
// where a node is needed) do nothing or give the documented empty answer. This lets a
// URL queue that outlives a clear hold handles safely.
//
// Owned by the crawl controller; GUI thread only. Nothing here recurses over the tree, so
// any depth is fine. Throws only std::bad_alloc.
class SiteMapModel : public QAbstractItemModel, public SiteMapTarget {
 public:
  // The node's image number (int) and its handle (qulonglong).
  static constexpr int ImageIndexRole = Qt::UserRole + 1;
  static constexpr int NodeRole = Qt::UserRole + 2;

  explicit SiteMapModel(QObject* parent = nullptr);
  ~SiteMapModel() override;

  // A new last top-level node.
  SiteMapNode AddTopLevelNode(std::string_view text, int image) override;
  // A new last child of `parent`; kNoNode (nothing added) when `parent` names no node.
  SiteMapNode AddChildNode(SiteMapNode parent, std::string_view text, int image) override;

  bool Contains(SiteMapNode node) const;
  // Empty text, image 0, parent kNoNode and depth 0 for a handle that names no node.
  std::string Text(SiteMapNode node) const;
  int ImageIndex(SiteMapNode node) const;
  void SetImageIndex(SiteMapNode node, int image);
  SiteMapNode Parent(SiteMapNode node) const;  // kNoNode for a top-level node
  int Depth(SiteMapNode node) const override;  // number of ancestors: 0 at the top
  // The children of `node` in order; the top-level nodes for kNoNode.
  std::vector<SiteMapNode> Children(SiteMapNode node) const;
  int NodeCount() const { return static_cast<int>(nodes_.size()); }
  bool Empty() const { return nodes_.empty(); }

  void Clear();
  // The tree's nodes and texts, for the "WEBMAP" record (images are not kept there).
  SiteMapTree Tree() const;
  // Replaces every node by `tree`, each node with image kPageImage.
  void SetTree(const SiteMapTree& tree);

  // Model index <-> handle (kNoNode for an invalid index).
  QModelIndex IndexOf(SiteMapNode node) const;
  SiteMapNode NodeAt(const QModelIndex& index) const;

  // QAbstractItemModel.
  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  // A node in 36 bytes: a crawl adds one for every link it finds, so the site map is a
  // good part of a crawl's memory. Nodes refer to each other by position in nodes_ plus
  // one (0: none), texts lie packed in text_blocks_, and only nodes with children have a
  // list of them.
  struct Node {
    std::uint32_t self = 0;  // its own position
    std::uint32_t text_block = 0;
    std::uint32_t text_at = 0;
    std::uint32_t text_size = 0;
    std::uint32_t parent = 0;  // position + 1 of the parent; 0 for a top-level node
    std::uint32_t row = 0;
    std::uint32_t depth = 0;
    std::uint32_t children = 0;  // position + 1 in child_lists_; 0 without children
    std::int32_t image = kPageImage;
  };
  using Position = std::uint32_t;  // of a node in nodes_

  // The node a handle or a model index names; null for none.
  const Node* Find(SiteMapNode node) const;
  const Node* NodeOf(const QModelIndex& index) const;
  SiteMapNode HandleOf(const Node* node) const { return first_id_ + node->self; }
  std::string_view TextOf(const Node& node) const;
  QModelIndex IndexOfNode(const Node* node) const;
  // Appends without telling the views.
  const Node* Append(const Node* parent, std::string_view text, int image);
  const std::vector<Position>& ChildrenOf(const Node* parent) const;
  void RemoveAll();

  // Every node, in the order added; a deque keeps their addresses and grows without
  // copying.
  std::deque<Node> nodes_;
  std::vector<Position> top_;
  std::deque<std::vector<Position>> child_lists_;
  // The texts, back to back in blocks of kTextBlock bytes (a longer text has its own).
  static constexpr std::size_t kTextBlock = 64 * 1024;
  std::vector<std::unique_ptr<char[]>> text_blocks_;
  std::size_t text_used_ = kTextBlock;  // bytes used in the last block
  // Handle of nodes_[0]; handles of the current nodes are consecutive from it.
  SiteMapNode first_id_ = 1;
};

}  // namespace ferrowyn
