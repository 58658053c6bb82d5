// CVelmoraTree: the one tree control (id 4101) that whichever page is in front takes over.
// It shows the sheet's TopologyTreeModel as it is and reports the operator's selection,
// double clicks and label edits to the sheet; it never changes the model itself. Items are
// drawn by CVelmoraTreeDelegate in the model's drawing mode.
#pragma once

#include <QTreeView>

class CSheet;
class CVelmoraTreeDelegate;
class TopologyTreeModel;
class TreeItem;

class CVelmoraTree : public QTreeView {
    Q_OBJECT

public:
    static constexpr int kControlId = 4101;

    explicit CVelmoraTree(CSheet& sheet, QWidget* parent = nullptr);
    ~CVelmoraTree() override;

    TopologyTreeModel& Model() const;
    CVelmoraTreeDelegate& Delegate() const { return *delegate_; }
    // The item at a view index, or null.
    TreeItem* ItemAt(const QModelIndex& index) const;
    // Whether a label is being edited in place.
    bool IsEditingLabel() const { return state() == EditingState; }
    // Paint events handled so far (start-up measurements and tests).
    int PaintCount() const { return paintCount_; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void FollowModelSelection(const QModelIndex& selected);

    CSheet& sheet_;
    CVelmoraTreeDelegate* delegate_;
    bool followingModel_ = false;
    bool takingFocus_ = false;
    int paintCount_ = 0;
};
