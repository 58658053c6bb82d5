#include "ui/velmora_tree.h"

#include "app/sheet.h"
#include "app/topology_tree_model.h"
#include "ui/velmora_tree_delegate.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyleFactory>

CVelmoraTree::CVelmoraTree(CSheet& sheet, QWidget* parent)
    : QTreeView(parent), sheet_(sheet), delegate_(new CVelmoraTreeDelegate(sheet, this)) {
    setObjectName(QString::number(kControlId));
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setUniformRowHeights(true);
    setAnimated(false);
    // The sheet's selected item is the view's current item; the delegate draws it, so the
    // view's own selection highlight stays off.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // edits start from the sheet
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setFrameShape(QFrame::StyledPanel);
    // Lines between the items and plus/minus boxes, as a tree control with has-lines draws.
    if (QStyle* lines = QStyleFactory::create(QStringLiteral("Windows"))) {
        lines->setParent(this);
        setStyle(lines);
    }
    setItemDelegate(delegate_);
    setModel(&sheet.GetTreeCtrl());

    TopologyTreeModel& model = sheet.GetTreeCtrl();
    connect(&model, &TopologyTreeModel::SelectionChanged, this,
            &CVelmoraTree::FollowModelSelection);
    connect(&model, &TopologyTreeModel::ExpandRequested, this,
            [this](const QModelIndex& index) { expand(index); });
    connect(&model, &TopologyTreeModel::LabelEditRequested, this, [this](const QModelIndex& index) {
        setFocus();
        edit(index);
    });
    connect(&model, &TopologyTreeModel::ExecutionModeChanged, this, [this](int) {
        // Labels change width with the markers; colours change with the mode.
        scheduleDelayedItemsLayout();
        viewport()->update();
    });
    FollowModelSelection(model.IndexOf(model.SelectedItem()));
}

CVelmoraTree::~CVelmoraTree() = default;

TopologyTreeModel& CVelmoraTree::Model() const {
    return sheet_.GetTreeCtrl();
}

TreeItem* CVelmoraTree::ItemAt(const QModelIndex& index) const {
    return Model().ItemAt(index);
}

void CVelmoraTree::FollowModelSelection(const QModelIndex& selected) {
    if (selectionModel() == nullptr || currentIndex() == selected) {
        return;
    }
    followingModel_ = true;
    selectionModel()->setCurrentIndex(selected, QItemSelectionModel::NoUpdate);
    followingModel_ = false;
    if (selected.isValid()) {
        scrollTo(selected);
    }
}

void CVelmoraTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    viewport()->update();
    if (followingModel_ || !current.isValid()) {
        return;
    }
    if (takingFocus_) {
        // Focus alone selects nothing: the view's habit of making the first item current
        // when it gets the focus is undone.
        FollowModelSelection(Model().IndexOf(Model().SelectedItem()));
        return;
    }
    TreeItem* item = ItemAt(current);
    if (item != nullptr && item != Model().SelectedItem()) {
        sheet_.SelectTreeItem(item);
    }
}

void CVelmoraTree::mouseDoubleClickEvent(QMouseEvent* event) {
    // The item under the cursor becomes the selected item first; a click on empty space
    // changes no selection.
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (hit.isValid() && hit != currentIndex()) {
        selectionModel()->setCurrentIndex(hit, QItemSelectionModel::NoUpdate);
    }
    if (sheet_.OnNMDblclkVelmoraTree() != 0) {
        event->accept(); // consumed: no label edit, no expanding or collapsing
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void CVelmoraTree::focusInEvent(QFocusEvent* event) {
    takingFocus_ = true;
    QTreeView::focusInEvent(event);
    takingFocus_ = false;
}

void CVelmoraTree::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    QTreeView::paintEvent(event);
}
