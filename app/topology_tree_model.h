// The tree the sheet shows: "My Computer", the controllers and the devices behind them. Each
// item owns the device record of its position. The engine changes it only through the sheet;
// a window shows it (it is a QAbstractItemModel) and reports selection, double click and
// label edits back to the sheet.
#pragma once

#include <QAbstractItemModel>
#include <QString>

#include <memory>
#include <vector>

class CDeviceData;

class TreeItem {
public:
    TreeItem(TreeItem* parent, QString text, std::unique_ptr<CDeviceData> record);
    ~TreeItem();
    TreeItem(const TreeItem&) = delete;
    TreeItem& operator=(const TreeItem&) = delete;

    const QString& Text() const { return text_; }
    CDeviceData* Record() const { return record_.get(); }
    TreeItem* Parent() const { return parent_; }
    const std::vector<std::unique_ptr<TreeItem>>& Children() const { return children_; }
    int Row() const { return row_; }
    bool IsExpanded() const { return expanded_; }

private:
    friend class TopologyTreeModel;

    QString text_;
    std::unique_ptr<CDeviceData> record_;
    TreeItem* parent_;
    std::vector<std::unique_ptr<TreeItem>> children_;
    int row_ = 0;
    bool expanded_ = false;
};

class TopologyTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // Drawing modes of the tree (executionMode).
    static constexpr int kConfigurationDrawing = 0;
    static constexpr int kExecutionDrawing = 1;
    // Item data role carrying the CDeviceData* of an item (null for none).
    static constexpr int kRecordRole = Qt::UserRole + 1;

    explicit TopologyTreeModel(QObject* parent = nullptr);
    ~TopologyTreeModel() override;

    // Tree-control operations (a null parent is the control's top level).
    TreeItem* InsertItem(TreeItem* parent, const QString& text,
                         std::unique_ptr<CDeviceData> record);
    void DeleteItem(TreeItem* item); // the item, its subtree and their records
    TreeItem* FirstRootItem() const;
    TreeItem* FirstChild(const TreeItem* item) const;
    TreeItem* NextSibling(const TreeItem* item) const;
    int TopLevelCount() const;
    void SetItemText(TreeItem* item, const QString& text);
    void Expand(TreeItem* item);
    TreeItem* SelectedItem() const { return selected_; }
    void SelectItem(TreeItem* item);
    // Asks the view to start editing the item's label in place.
    void RequestLabelEdit(TreeItem* item);
    // Every item, depth first (for tests and the runner's listing).
    std::vector<TreeItem*> AllItems() const;

    int ExecutionMode() const { return executionMode_; }
    void SetExecutionMode(int mode);

    // Many changes in a row (an enumeration): views get one reset instead of item signals.
    void BeginBatch();
    void EndBatch();

    QModelIndex IndexOf(const TreeItem* item) const;
    TreeItem* ItemAt(const QModelIndex& index) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    void SelectionChanged(const QModelIndex& selected);
    void ExpandRequested(const QModelIndex& item);
    void ExecutionModeChanged(int mode);
    void LabelEditRequested(const QModelIndex& item);

private:
    std::vector<std::unique_ptr<TreeItem>>& SiblingsOf(TreeItem* parent);
    bool InSubtree(const TreeItem* item, const TreeItem* root) const;

    std::vector<std::unique_ptr<TreeItem>> topLevel_;
    TreeItem* selected_ = nullptr;
    int executionMode_ = kConfigurationDrawing;
    int batchDepth_ = 0;
};
