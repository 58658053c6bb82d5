#include "ui/velmora_tree_delegate.h"

#include "app/sheet.h"
#include "app/topology_tree_model.h"
#include "hub/device_data.h"
#include "pages/tree_colors.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPainter>

namespace {

constexpr int kTextMargin = 3;

// Counts the library queries of a record's facts.
class CountingFacts : public ITreeItemFacts {
public:
    CountingFacts(ITreeItemFacts& inner, std::uint64_t& count) : inner_(inner), count_(count) {}
    int DeviceType() override {
        ++count_;
        return inner_.DeviceType();
    }
    int TopologyState() override { return inner_.TopologyState(); }
    int HubStatus() override {
        ++count_;
        return inner_.HubStatus();
    }
    bool SafeToRemove() override {
        ++count_;
        return inner_.SafeToRemove();
    }

private:
    ITreeItemFacts& inner_;
    std::uint64_t& count_;
};

QColor ToColor(const Rgb& rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

CDeviceData* RecordOf(const QModelIndex& index) {
    return static_cast<CDeviceData*>(index.data(TopologyTreeModel::kRecordRole).value<void*>());
}

} // namespace

CVelmoraTreeDelegate::CVelmoraTreeDelegate(CSheet& sheet, QObject* parent)
    : QStyledItemDelegate(parent), sheet_(sheet) {}

TreeItemLook CVelmoraTreeDelegate::LookOf(const QModelIndex& index) const {
    const int mode = sheet_.GetTreeCtrl().ExecutionMode();
    CDeviceData* record = RecordOf(index);
    if (record == nullptr) {
        return DecideTreeItemLook(nullptr, mode);
    }
    RecordFacts facts(*record);
    CountingFacts counted(facts, queries_);
    return DecideTreeItemLook(&counted, mode);
}

void CVelmoraTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const bool execution =
        sheet_.GetTreeCtrl().ExecutionMode() == TopologyTreeModel::kExecutionDrawing;
    const TreeItemLook look = LookOf(index);
    const QString text = index.data(Qt::DisplayRole).toString() + look.marker;
    const QFontMetrics metrics(option.font);
    const int width = metrics.horizontalAdvance(text) + 2 * kTextMargin;
    const QRect label(option.rect.left(), option.rect.top(), width, option.rect.height());

    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool focused = view != nullptr && view->currentIndex() == index;

    painter->save();
    if (focused) {
        // The selected item: a white box with a black frame; in execution drawing with a
        // sunken right and bottom edge inside the frame.
        QRect box = label.adjusted(0, 0, -1, -1);
        if (execution) {
            box.adjust(-1, 0, 0, 0);
        }
        painter->setPen(QColor(0, 0, 0));
        painter->setBrush(QColor(255, 255, 255));
        painter->drawRect(box);
        if (execution) {
            painter->setPen(option.palette.color(QPalette::Dark));
            painter->drawLine(box.right() - 1, box.top() + 1, box.right() - 1, box.bottom() - 1);
            painter->drawLine(box.left() + 1, box.bottom() - 1, box.right() - 1, box.bottom() - 1);
        }
    }
    painter->setPen(ToColor(look.color));
    painter->setFont(option.font);
    painter->drawText(label.adjusted(kTextMargin, 0, -kTextMargin, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

QSize CVelmoraTreeDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    // No library query here: the wider of the two markers is reserved in execution drawing.
    QString text = index.data(Qt::DisplayRole).toString();
    if (sheet_.GetTreeCtrl().ExecutionMode() == TopologyTreeModel::kExecutionDrawing) {
        text += QString::fromLatin1(treecolors::kMarkerNotRemovable);
    }
    const QFontMetrics metrics(option.font);
    return QSize(metrics.horizontalAdvance(text) + 2 * kTextMargin + 2, metrics.height() + 4);
}

QWidget* CVelmoraTreeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
    if (!sheet_.OnTvnBeginlabeleditConfigTree()) {
        return nullptr; // no label editing in execution drawing
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void CVelmoraTreeDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(index.data(Qt::EditRole).toString());
        edit->selectAll();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void CVelmoraTreeDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                        const QModelIndex& index) const {
    // The sheet decides what the edit changes (an empty text changes nothing).
    auto* edit = qobject_cast<QLineEdit*>(editor);
    TreeItem* item = sheet_.GetTreeCtrl().ItemAt(index);
    if (edit == nullptr || item == nullptr) {
        return;
    }
    sheet_.OnTvnEndlabeleditConfigTree(item, edit->text(), false);
}
