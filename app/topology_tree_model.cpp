#include "app/topology_tree_model.h"

#include "hub/device_data.h"

#include <utility>

TreeItem::TreeItem(TreeItem* parent, QString text, std::unique_ptr<CDeviceData> record)
    : text_(std::move(text)), record_(std::move(record)), parent_(parent) {}

TreeItem::~TreeItem() = default;

TopologyTreeModel::TopologyTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

TopologyTreeModel::~TopologyTreeModel() = default;

std::vector<std::unique_ptr<TreeItem>>& TopologyTreeModel::SiblingsOf(TreeItem* parent) {
    return parent != nullptr ? parent->children_ : topLevel_;
}

TreeItem* TopologyTreeModel::InsertItem(TreeItem* parent, const QString& text,
                                        std::unique_ptr<CDeviceData> record) {
    auto& siblings = SiblingsOf(parent);
    const int row = static_cast<int>(siblings.size());
    if (batchDepth_ == 0) {
        beginInsertRows(IndexOf(parent), row, row);
    }
    siblings.push_back(std::make_unique<TreeItem>(parent, text, std::move(record)));
    TreeItem* item = siblings.back().get();
    item->row_ = row;
    if (batchDepth_ == 0) {
        endInsertRows();
    }
    return item;
}

bool TopologyTreeModel::InSubtree(const TreeItem* item, const TreeItem* root) const {
    for (const TreeItem* i = item; i != nullptr; i = i->parent_) {
        if (i == root) {
            return true;
        }
    }
    return false;
}

void TopologyTreeModel::DeleteItem(TreeItem* item) {
    if (item == nullptr) {
        return;
    }
    auto& siblings = SiblingsOf(item->parent_);
    const int row = item->row_;
    if (batchDepth_ == 0) {
        beginRemoveRows(IndexOf(item->parent_), row, row);
    }
    const bool selectionGoes = InSubtree(selected_, item);
    if (selectionGoes) {
        selected_ = nullptr;
    }
    siblings.erase(siblings.begin() + row);
    for (int i = row; i < static_cast<int>(siblings.size()); ++i) {
        siblings[static_cast<std::size_t>(i)]->row_ = i;
    }
    if (batchDepth_ == 0) {
        endRemoveRows();
        if (selectionGoes) {
            Q_EMIT SelectionChanged(QModelIndex());
        }
    }
}

TreeItem* TopologyTreeModel::FirstRootItem() const {
    return topLevel_.empty() ? nullptr : topLevel_.front().get();
}

TreeItem* TopologyTreeModel::FirstChild(const TreeItem* item) const {
    if (item == nullptr || item->children_.empty()) {
        return nullptr;
    }
    return item->children_.front().get();
}

TreeItem* TopologyTreeModel::NextSibling(const TreeItem* item) const {
    if (item == nullptr) {
        return nullptr;
    }
    const auto& siblings = item->parent_ != nullptr ? item->parent_->children_ : topLevel_;
    const auto next = static_cast<std::size_t>(item->row_) + 1;
    return next < siblings.size() ? siblings[next].get() : nullptr;
}

int TopologyTreeModel::TopLevelCount() const {
    return static_cast<int>(topLevel_.size());
}

void TopologyTreeModel::SetItemText(TreeItem* item, const QString& text) {
    if (item == nullptr) {
        return;
    }
    item->text_ = text;
    if (batchDepth_ == 0) {
        const QModelIndex index = IndexOf(item);
        Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
}

void TopologyTreeModel::Expand(TreeItem* item) {
    if (item == nullptr) {
        return;
    }
    item->expanded_ = true;
    if (batchDepth_ == 0) {
        Q_EMIT ExpandRequested(IndexOf(item));
    }
}

void TopologyTreeModel::SelectItem(TreeItem* item) {
    if (selected_ == item) {
        return;
    }
    selected_ = item;
    Q_EMIT SelectionChanged(IndexOf(item));
}

void TopologyTreeModel::RequestLabelEdit(TreeItem* item) {
    if (item != nullptr) {
        Q_EMIT LabelEditRequested(IndexOf(item));
    }
}

std::vector<TreeItem*> TopologyTreeModel::AllItems() const {
    std::vector<TreeItem*> items;
    std::vector<TreeItem*> pending;
    for (auto it = topLevel_.rbegin(); it != topLevel_.rend(); ++it) {
        pending.push_back(it->get());
    }
    while (!pending.empty()) {
        TreeItem* item = pending.back();
        pending.pop_back();
        items.push_back(item);
        for (auto it = item->children_.rbegin(); it != item->children_.rend(); ++it) {
            pending.push_back(it->get());
        }
    }
    return items;
}

void TopologyTreeModel::SetExecutionMode(int mode) {
    if (executionMode_ == mode) {
        return;
    }
    executionMode_ = mode;
    Q_EMIT ExecutionModeChanged(mode);
}

void TopologyTreeModel::BeginBatch() {
    if (batchDepth_++ == 0) {
        beginResetModel();
    }
}

void TopologyTreeModel::EndBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0) {
        endResetModel();
        Q_EMIT SelectionChanged(IndexOf(selected_));
        for (TreeItem* item : AllItems()) {
            if (item->expanded_) {
                Q_EMIT ExpandRequested(IndexOf(item));
            }
        }
    }
}

QModelIndex TopologyTreeModel::IndexOf(const TreeItem* item) const {
    if (item == nullptr) {
        return {};
    }
    return createIndex(item->row_, 0, const_cast<TreeItem*>(item));
}

TreeItem* TopologyTreeModel::ItemAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TreeItem*>(index.internalPointer()) : nullptr;
}

QModelIndex TopologyTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) {
        return {};
    }
    const TreeItem* parentItem = ItemAt(parent);
    const auto& siblings = parentItem != nullptr ? parentItem->children_ : topLevel_;
    if (static_cast<std::size_t>(row) >= siblings.size()) {
        return {};
    }
    return createIndex(row, 0, siblings[static_cast<std::size_t>(row)].get());
}

QModelIndex TopologyTreeModel::parent(const QModelIndex& child) const {
    const TreeItem* item = ItemAt(child);
    return item != nullptr ? IndexOf(item->parent_) : QModelIndex();
}

int TopologyTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    const TreeItem* item = ItemAt(parent);
    return static_cast<int>(item != nullptr ? item->children_.size() : topLevel_.size());
}

int TopologyTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant TopologyTreeModel::data(const QModelIndex& index, int role) const {
    const TreeItem* item = ItemAt(index);
    if (item == nullptr) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return item->text_;
    case kRecordRole:
        return QVariant::fromValue(static_cast<void*>(item->record_.get()));
    default:
        return {};
    }
}

Qt::ItemFlags TopologyTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (executionMode_ == kConfigurationDrawing) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}
