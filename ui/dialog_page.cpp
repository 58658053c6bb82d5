#include "ui/dialog_page.h"

#include "pages/edit_input_rules.h"
#include "ui/status_box.h"
#include "ui/tool_icon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QValidator>

namespace {

// Applies an edit's input rules while the operator types.
class EditRulesValidator : public QValidator {
public:
    EditRulesValidator(unsigned flags, QObject* parent) : QValidator(parent), flags_(flags) {}

    State validate(QString& input, int& pos) const override {
        const QString filtered = ApplyEditInputRules(flags_, 0, input);
        if (filtered.size() != input.size()) {
            return Invalid; // a character the edit does not take
        }
        input = filtered;
        (void)pos;
        return Acceptable;
    }

private:
    unsigned flags_;
};

} // namespace

DialogPage::DialogPage(const DialogTemplate& dialog, std::span<const treecolors::LegendBox> legend,
                       QWidget* parent)
    : QWidget(parent), dialog_(dialog), legend_(legend) {
    const QFontMetrics metrics(font());
    baseX_ = DialogBaseUnitX(metrics.horizontalAdvance(QString::fromLatin1(kDialogUnitAlphabet)));
    baseY_ = metrics.height();
    listHeight_ = QComboBox(this).sizeHint().height();
    setWindowTitle(QString::fromLatin1(dialog.caption));
    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = CreateControl(control);
        if (widget == nullptr) {
            continue;
        }
        QRect rect = ToPixels(control);
        if (control.kind == ControlKind::Label || control.kind == ControlKind::CheckBox ||
            control.kind == ControlKind::RadioButton) {
            FitText(control, *widget, rect);
        }
        widget->setGeometry(rect);
        widget->setEnabled(!control.Has(kDisabled));
        widget->setHidden(control.Has(kHidden));
        if (control.id != kNoControlId) {
            widget->setObjectName(QString::number(control.id));
            controls_[control.id] = widget;
        }
    }
    setFixedSize(sizeHint());
    CreateLegendLayer();
}

QWidget* DialogPage::CreateControl(const ControlTemplate& control) {
    const QString text = QString::fromLatin1(control.text);
    switch (control.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(text, this);
    case ControlKind::Label: {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Edit: {
        if (control.Has(kMultiLine)) {
            auto* box = new StatusBox(this);
            box->setHorizontalScrollBarPolicy(
                control.Has(kHorizontalScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
            box->setVerticalScrollBarPolicy(control.Has(kVerticalScroll) ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
            if (control.Has(kNoBorder)) {
                box->setFrameShape(QFrame::NoFrame);
                box->viewport()->setAutoFillBackground(false);
            }
            return box;
        }
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(control.Has(kReadOnly));
        if (control.textLimit > 0) {
            edit->setMaxLength(control.textLimit);
        }
        if (control.Has(kUpperCase) || control.Has(kDigitsOnly)) {
            edit->setValidator(new EditRulesValidator(control.flags, edit));
        }
        return edit;
    }
    case ControlKind::DropDownList: {
        auto* list = new QComboBox(this);
        list->setEditable(false);
        list->setMaxVisibleItems(10);
        return list;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(text, this);
    case ControlKind::RadioButton:
        return new QRadioButton(text, this);
    case ControlKind::PushButton: {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false); // Enter never presses a button of the sheet
        return button;
    }
    case ControlKind::ColorBox: {
        auto* frame = new QFrame(this);
        frame->setFrameShape(QFrame::Box);
        frame->setFrameShadow(QFrame::Plain);
        frame->setLineWidth(1);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        frame->setPalette(palette);
        return frame;
    }
    case ControlKind::Icon: {
        auto* icon = new QLabel(this);
        const QRect r = ToPixels(control);
        icon->setPixmap(ToolIconPixmap(std::min(r.width(), r.height())));
        return icon;
    }
    }
    return nullptr;
}

int DialogPage::RoomToTheRight(const ControlTemplate& control) const {
    int right = dialog_.width;
    for (const ControlTemplate& other : dialog_.controls) {
        if (&other == &control || other.Has(kHidden)) {
            continue;
        }
        const bool sameRow =
            other.y < control.y + control.height && control.y < other.y + other.height;
        if (!sameRow) {
            continue;
        }
        const bool encloses = other.kind == ControlKind::GroupBox && other.x <= control.x &&
                              control.x < other.x + other.width;
        if (encloses) {
            right = std::min(right, other.x + other.width - 2);
        } else if (other.x > control.x) {
            right = std::min(right, other.x - 3); // a little space before the neighbour
        }
    }
    return right - control.x;
}

void DialogPage::FitText(const ControlTemplate& control, QWidget& widget, QRect& rect) const {
    // The template's widths were made for a narrower font. A text may use the room up to its
    // neighbour on the right; where even that is too narrow it is set a little narrower
    // instead of being cut.
    const int needed = widget.sizeHint().width();
    if (needed <= rect.width()) {
        return;
    }
    const int room = std::max(rect.width(), ToPixels(0, 0, RoomToTheRight(control), 0).width());
    rect.setWidth(std::min(needed, room));
    if (needed > room) {
        QFont narrower = widget.font();
        narrower.setStretch(std::max(75, room * 100 / needed));
        widget.setFont(narrower);
    }
}

QWidget* DialogPage::Control(int id) const {
    const auto it = controls_.find(id);
    return it != controls_.end() ? it->second : nullptr;
}

QRect DialogPage::ToPixels(int x, int y, int width, int height) const {
    const PixelRect r = MapDialogRect(x, y, width, height, baseX_, baseY_);
    return QRect(r.x, r.y, r.width, r.height);
}

QRect DialogPage::ToPixels(const ControlTemplate& control) const {
    QRect r = ToPixels(control.x, control.y, control.width, control.height);
    if (control.kind == ControlKind::DropDownList) {
        // The template height includes the dropped list; the closed list is one line high.
        r.setHeight(std::min(r.height(), listHeight_));
    }
    return r;
}

QRect DialogPage::TreeFrame() const {
    const ControlTemplate* frame = dialog_.Find(1000);
    return frame != nullptr ? ToPixels(*frame) : QRect();
}

QSize DialogPage::sizeHint() const {
    return ToPixels(0, 0, dialog_.width, dialog_.height).size();
}

void DialogPage::ShowControls(const PageControls& controls) {
    for (const int id : controls.Ids()) {
        QWidget* widget = Control(id);
        if (widget == nullptr) {
            continue;
        }
        const ControlState& state = controls.At(id);
        const QSignalBlocker blocker(widget);
        if (widget->isEnabled() != state.enabled) {
            widget->setEnabled(state.enabled);
        }
        if (widget->isHidden() == state.visible) {
            widget->setHidden(!state.visible);
        }
        if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(state.text);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->pixmap().isNull()) {
                label->setText(state.text);
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (edit->text() != state.text) {
                edit->setText(state.text);
                if (edit->isReadOnly()) {
                    edit->setCursorPosition(0); // a shown path starts at its beginning
                    edit->setToolTip(state.text.trimmed().isEmpty() ? QString() : state.text);
                }
            }
            if (state.textLimit > 0) {
                edit->setMaxLength(state.textLimit);
            }
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            QStringList shown;
            for (int i = 0; i < list->count(); ++i) {
                shown.push_back(list->itemText(i));
            }
            if (shown != state.items) {
                list->clear();
                list->addItems(state.items);
            }
            list->setCurrentIndex(state.currentIndex);
        } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            // A selected radio button of a group cannot be cleared by itself.
            radio->setAutoExclusive(false);
            radio->setChecked(state.checked);
            radio->setAutoExclusive(true);
        } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            check->setChecked(state.checked);
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setText(state.text);
        }
    }
}

// Fills the legend boxes. It lies above the page's frames (a group box may tint its inside)
// and below the boxes' own black frames, and lets every mouse click through.
class DialogPage::LegendLayer : public QWidget {
public:
    explicit LegendLayer(DialogPage& page) : QWidget(&page), page_(page) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        QRect area;
        for (const treecolors::LegendBox& box : page.legend_) {
            if (const QWidget* control = page.Control(box.controlId)) {
                area = area.united(control->geometry());
            }
        }
        setGeometry(area);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        for (const treecolors::LegendBox& box : page_.legend_) {
            const QWidget* control = page_.Control(box.controlId);
            if (control != nullptr) {
                painter.fillRect(control->geometry().translated(-pos()),
                                 QColor(box.color.r, box.color.g, box.color.b));
            }
        }
    }

private:
    DialogPage& page_;
};

void DialogPage::CreateLegendLayer() {
    auto* layer = new LegendLayer(*this);
    layer->raise();
    for (const treecolors::LegendBox& box : legend_) {
        if (QWidget* control = Control(box.controlId)) {
            control->raise();
        }
    }
}
