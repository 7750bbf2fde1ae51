// The site map's nodes live in one flat list with links to parent and children, so that
// neither destruction nor conversion recurses however deep a crawl nests its pages, and
// their texts lie packed in large blocks rather than in one allocation each.
#include "view/site_map_model.h"

#include <algorithm>

namespace ferrowyn {

SiteMapModel::SiteMapModel(QObject* parent) : QAbstractItemModel(parent) {}

SiteMapModel::~SiteMapModel() = default;

const SiteMapModel::Node* SiteMapModel::Find(SiteMapNode node) const {
  if (node < first_id_ || node - first_id_ >= nodes_.size()) return nullptr;
  return &nodes_[node - first_id_];
}

const SiteMapModel::Node* SiteMapModel::NodeOf(const QModelIndex& index) const {
  return index.isValid() ? &nodes_[index.internalId() - 1] : nullptr;
}

std::string_view SiteMapModel::TextOf(const Node& node) const {
  return {text_blocks_[node.text_block].get() + node.text_at, node.text_size};
}

QModelIndex SiteMapModel::IndexOfNode(const Node* node) const {
  return createIndex(static_cast<int>(node->row), 0, quintptr{node->self} + 1);
}

const std::vector<SiteMapModel::Position>& SiteMapModel::ChildrenOf(const Node* parent) const {
  static const std::vector<Position> kNone;
  if (!parent) return top_;
  return parent->children ? child_lists_[parent->children - 1] : kNone;
}

const SiteMapModel::Node* SiteMapModel::Append(const Node* parent, std::string_view text,
                                               int image) {
  if (text_used_ + text.size() > kTextBlock || text_blocks_.empty()) {
    text_blocks_.push_back(std::make_unique<char[]>(std::max(kTextBlock, text.size())));
    text_used_ = 0;
  }
  std::vector<Position>* siblings = &top_;
  if (parent) {
    Node& owner = nodes_[parent->self];
    if (!owner.children) {
      child_lists_.emplace_back();
      owner.children = static_cast<std::uint32_t>(child_lists_.size());
    }
    siblings = &child_lists_[owner.children - 1];
  }
  Node& node = nodes_.emplace_back();
  node.self = static_cast<Position>(nodes_.size() - 1);
  node.text_block = static_cast<std::uint32_t>(text_blocks_.size() - 1);
  node.text_at = static_cast<std::uint32_t>(text_used_);
  node.text_size = static_cast<std::uint32_t>(text.size());
  std::copy(text.begin(), text.end(), text_blocks_.back().get() + text_used_);
  text_used_ += text.size();
  node.image = image;
  node.parent = parent ? parent->self + 1 : 0;
  node.row = static_cast<std::uint32_t>(siblings->size());
  node.depth = parent ? parent->depth + 1 : 0;
  siblings->push_back(node.self);
  return &node;
}

SiteMapNode SiteMapModel::AddTopLevelNode(std::string_view text, int image) {
  const int row = static_cast<int>(top_.size());
  beginInsertRows(QModelIndex(), row, row);
  const Node* node = Append(nullptr, text, image);
  endInsertRows();
  return HandleOf(node);
}

SiteMapNode SiteMapModel::AddChildNode(SiteMapNode parent, std::string_view text, int image) {
  const Node* owner = Find(parent);
  if (!owner) return kNoNode;
  const int row = static_cast<int>(ChildrenOf(owner).size());
  beginInsertRows(IndexOfNode(owner), row, row);
  const Node* node = Append(owner, text, image);
  endInsertRows();
  return HandleOf(node);
}

bool SiteMapModel::Contains(SiteMapNode node) const { return Find(node) != nullptr; }

std::string SiteMapModel::Text(SiteMapNode node) const {
  const Node* found = Find(node);
  return found ? std::string(TextOf(*found)) : std::string();
}

int SiteMapModel::ImageIndex(SiteMapNode node) const {
  const Node* found = Find(node);
  return found ? found->image : kPageImage;
}

void SiteMapModel::SetImageIndex(SiteMapNode node, int image) {
  const Node* found = Find(node);
  if (!found || found->image == image) return;
  nodes_[found->self].image = image;
  const QModelIndex at = IndexOfNode(found);
  emit dataChanged(at, at, {ImageIndexRole});
}

SiteMapNode SiteMapModel::Parent(SiteMapNode node) const {
  const Node* found = Find(node);
  return found && found->parent ? first_id_ + (found->parent - 1) : kNoNode;
}

int SiteMapModel::Depth(SiteMapNode node) const {
  const Node* found = Find(node);
  return found ? static_cast<int>(found->depth) : 0;
}

std::vector<SiteMapNode> SiteMapModel::Children(SiteMapNode node) const {
  std::vector<SiteMapNode> ids;
  const Node* found = Find(node);
  if (node != kNoNode && !found) return ids;
  for (const Position child : ChildrenOf(found)) ids.push_back(first_id_ + child);
  return ids;
}

void SiteMapModel::RemoveAll() {
  first_id_ += nodes_.size();  // the old handles name nothing from now on
  nodes_.clear();
  nodes_.shrink_to_fit();
  top_.clear();
  top_.shrink_to_fit();
  child_lists_.clear();
  child_lists_.shrink_to_fit();
  text_blocks_.clear();
  text_blocks_.shrink_to_fit();
  text_used_ = kTextBlock;
}

void SiteMapModel::Clear() {
  beginResetModel();
  RemoveAll();
  endResetModel();
}

SiteMapTree SiteMapModel::Tree() const {
  SiteMapTree tree;
  tree.reserve(top_.size());
  // Depth first without recursion: each frame is a sibling list being copied.
  struct Frame {
    const std::vector<Position>* from;
    std::size_t next;
    std::vector<SiteMapTreeNode>* to;  // reserved to its final size, so never moves
  };
  std::vector<Frame> stack{{&top_, 0, &tree}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.from->size()) {
      stack.pop_back();
      continue;
    }
    const Node& node = nodes_[(*frame.from)[frame.next++]];
    SiteMapTreeNode& copy = frame.to->emplace_back(SiteMapTreeNode{std::string(TextOf(node)), {}});
    const std::vector<Position>& children = ChildrenOf(&node);
    if (!children.empty()) {
      copy.Children.reserve(children.size());
      stack.push_back({&children, 0, &copy.Children});
    }
  }
  return tree;
}

void SiteMapModel::SetTree(const SiteMapTree& tree) {
  beginResetModel();
  RemoveAll();
  struct Frame {
    const std::vector<SiteMapTreeNode>* from;
    std::size_t next;
    const Node* parent;
  };
  std::vector<Frame> stack{{&tree, 0, nullptr}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.from->size()) {
      stack.pop_back();
      continue;
    }
    const SiteMapTreeNode& source = (*frame.from)[frame.next++];
    const Node* parent = frame.parent;
    const Node* node = Append(parent, source.Text, kPageImage);
    if (!source.Children.empty()) stack.push_back({&source.Children, 0, node});
  }
  endResetModel();
}

QModelIndex SiteMapModel::IndexOf(SiteMapNode node) const {
  const Node* found = Find(node);
  return found ? IndexOfNode(found) : QModelIndex();
}

SiteMapNode SiteMapModel::NodeAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return kNoNode;
  return HandleOf(NodeOf(index));
}

QModelIndex SiteMapModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const std::vector<Position>& siblings = ChildrenOf(NodeOf(parent));
  if (static_cast<std::size_t>(row) >= siblings.size()) return {};
  return createIndex(row, 0, quintptr{siblings[static_cast<std::size_t>(row)]} + 1);
}

QModelIndex SiteMapModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  const Node* node = NodeOf(child);
  return node->parent ? IndexOfNode(&nodes_[node->parent - 1]) : QModelIndex();
}

int SiteMapModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return static_cast<int>(ChildrenOf(NodeOf(parent)).size());
}

int SiteMapModel::columnCount(const QModelIndex&) const { return 1; }

QVariant SiteMapModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Node* node = NodeOf(index);
  switch (role) {
    case Qt::DisplayRole: {
      const std::string_view text = TextOf(*node);
      return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    case ImageIndexRole:
      return node->image;
    case NodeRole:
      return QVariant::fromValue<qulonglong>(HandleOf(node));
    default:
      return {};
  }
}

QVariant SiteMapModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
    return QStringLiteral("Ferrowyn! Site Map");
  }
  return {};
}

}  // namespace ferrowyn
