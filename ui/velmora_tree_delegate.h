// Draws the tree's items the way CVelmoraTree draws them: the text colour and removal marker
// come from DecideTreeItemLook (asked again at every paint, so a repaint always shows the
// library's current state); the selected item is drawn as a framed box, in execution drawing
// with a sunken right and bottom edge. It also runs the in-place label edits through the
// sheet's label-edit notifications.
#pragma once

#include "pages/tree_item_look.h"

#include <QStyledItemDelegate>

#include <cstdint>

class CSheet;

class CVelmoraTreeDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    CVelmoraTreeDelegate(CSheet& sheet, QObject* parent = nullptr);

    // The look of an item now, asking its record as a paint does.
    TreeItemLook LookOf(const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // Library queries (device type, hub status, removability) made while drawing.
    std::uint64_t QueryCount() const { return queries_; }
    void ResetQueryCount() { queries_ = 0; }

private:
    CSheet& sheet_;
    mutable std::uint64_t queries_ = 0;
};
