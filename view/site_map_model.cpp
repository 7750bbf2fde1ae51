// The site map's nodes live in one flat list with links to parent and children, so that
// neither destruction nor conversion recurses however deep a crawl nests its pages.
#include "view/site_map_model.h"

namespace ferrowyn {

namespace {

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

SiteMapModel::SiteMapModel(QObject* parent) : QAbstractItemModel(parent) {}

SiteMapModel::~SiteMapModel() = default;

SiteMapModel::Node* SiteMapModel::Find(SiteMapNode node) const {
  if (node < first_id_ || node - first_id_ >= nodes_.size()) return nullptr;
  return const_cast<Node*>(&nodes_[node - first_id_]);
}

const std::vector<SiteMapModel::Node*>& SiteMapModel::ChildrenOf(const Node* parent) const {
  return parent ? parent->children : top_;
}

SiteMapModel::Node* SiteMapModel::Append(Node* parent, std::string_view text, int image) {
  std::vector<Node*>& siblings = parent ? parent->children : top_;
  Node& node = nodes_.emplace_back();
  node.id = first_id_ + (nodes_.size() - 1);
  node.text = std::string(text);
  node.image = image;
  node.parent = parent;
  node.row = static_cast<int>(siblings.size());
  node.depth = parent ? parent->depth + 1 : 0;
  siblings.push_back(&node);
  return &node;
}

SiteMapNode SiteMapModel::AddTopLevelNode(std::string_view text, int image) {
  const int row = static_cast<int>(top_.size());
  beginInsertRows(QModelIndex(), row, row);
  const Node* node = Append(nullptr, text, image);
  endInsertRows();
  return node->id;
}

SiteMapNode SiteMapModel::AddChildNode(SiteMapNode parent, std::string_view text, int image) {
  Node* owner = Find(parent);
  if (!owner) return kNoNode;
  const int row = static_cast<int>(owner->children.size());
  beginInsertRows(createIndex(owner->row, 0, owner), row, row);
  const Node* node = Append(owner, text, image);
  endInsertRows();
  return node->id;
}

bool SiteMapModel::Contains(SiteMapNode node) const { return Find(node) != nullptr; }

std::string SiteMapModel::Text(SiteMapNode node) const {
  const Node* found = Find(node);
  return found ? found->text : std::string();
}

int SiteMapModel::ImageIndex(SiteMapNode node) const {
  const Node* found = Find(node);
  return found ? found->image : kPageImage;
}

void SiteMapModel::SetImageIndex(SiteMapNode node, int image) {
  Node* found = Find(node);
  if (!found || found->image == image) return;
  found->image = image;
  const QModelIndex at = createIndex(found->row, 0, found);
  emit dataChanged(at, at, {ImageIndexRole});
}

SiteMapNode SiteMapModel::Parent(SiteMapNode node) const {
  const Node* found = Find(node);
  return found && found->parent ? found->parent->id : kNoNode;
}

int SiteMapModel::Depth(SiteMapNode node) const {
  const Node* found = Find(node);
  return found ? found->depth : 0;
}

std::vector<SiteMapNode> SiteMapModel::Children(SiteMapNode node) const {
  std::vector<SiteMapNode> ids;
  const Node* found = Find(node);
  if (node != kNoNode && !found) return ids;
  for (const Node* child : ChildrenOf(found)) ids.push_back(child->id);
  return ids;
}

void SiteMapModel::Clear() {
  beginResetModel();
  first_id_ += nodes_.size();  // the old handles name nothing from now on
  nodes_.clear();
  top_.clear();
  endResetModel();
}

SiteMapTree SiteMapModel::Tree() const {
  SiteMapTree tree;
  tree.reserve(top_.size());
  // Depth first without recursion: each frame is a sibling list being copied.
  struct Frame {
    const std::vector<Node*>* from;
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
    const Node* node = (*frame.from)[frame.next++];
    SiteMapTreeNode& copy = frame.to->emplace_back(SiteMapTreeNode{node->text, {}});
    if (!node->children.empty()) {
      copy.Children.reserve(node->children.size());
      stack.push_back({&node->children, 0, &copy.Children});
    }
  }
  return tree;
}

void SiteMapModel::SetTree(const SiteMapTree& tree) {
  beginResetModel();
  first_id_ += nodes_.size();
  nodes_.clear();
  top_.clear();
  struct Frame {
    const std::vector<SiteMapTreeNode>* from;
    std::size_t next;
    Node* parent;
  };
  std::vector<Frame> stack{{&tree, 0, nullptr}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.from->size()) {
      stack.pop_back();
      continue;
    }
    const SiteMapTreeNode& source = (*frame.from)[frame.next++];
    Node* node = Append(frame.parent, source.Text, kPageImage);
    if (!source.Children.empty()) stack.push_back({&source.Children, 0, node});
  }
  endResetModel();
}

QModelIndex SiteMapModel::IndexOf(SiteMapNode node) const {
  Node* found = Find(node);
  return found ? createIndex(found->row, 0, found) : QModelIndex();
}

SiteMapNode SiteMapModel::NodeAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return kNoNode;
  return static_cast<const Node*>(index.internalPointer())->id;
}

QModelIndex SiteMapModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const Node* owner =
      parent.isValid() ? static_cast<const Node*>(parent.internalPointer()) : nullptr;
  const std::vector<Node*>& siblings = ChildrenOf(owner);
  if (static_cast<std::size_t>(row) >= siblings.size()) return {};
  return createIndex(row, 0, siblings[row]);
}

QModelIndex SiteMapModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  const Node* owner = static_cast<const Node*>(child.internalPointer())->parent;
  return owner ? createIndex(owner->row, 0, const_cast<Node*>(owner)) : QModelIndex();
}

int SiteMapModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  const Node* owner =
      parent.isValid() ? static_cast<const Node*>(parent.internalPointer()) : nullptr;
  return static_cast<int>(ChildrenOf(owner).size());
}

int SiteMapModel::columnCount(const QModelIndex&) const { return 1; }

QVariant SiteMapModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Node* node = static_cast<const Node*>(index.internalPointer());
  switch (role) {
    case Qt::DisplayRole:
      return Latin1(node->text);
    case ImageIndexRole:
      return node->image;
    case NodeRole:
      return QVariant::fromValue<qulonglong>(node->id);
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
