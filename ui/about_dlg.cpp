#include "ui/about_dlg.h"

#include "pages/dialog_template.h"
#include "pages/dialog_units.h"
#include "ui/tool_icon.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

AboutDlg::AboutDlg(QWidget* parent) : QDialog(parent) {
    const DialogTemplate& dialog = AboutTemplate();
    setWindowTitle(QString::fromLatin1(dialog.caption));
    const QFontMetrics metrics(font());
    const int baseX =
        DialogBaseUnitX(metrics.horizontalAdvance(QString::fromLatin1(kDialogUnitAlphabet)));
    const int baseY = metrics.height();
    auto pixels = [&](int x, int y, int w, int h) {
        const PixelRect r = MapDialogRect(x, y, w, h, baseX, baseY);
        return QRect(r.x, r.y, r.width, r.height);
    };
    for (const ControlTemplate& control : dialog.controls) {
        const QRect rect = pixels(control.x, control.y, control.width, control.height);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ControlKind::Icon: {
            auto* icon = new QLabel(this);
            icon->setPixmap(ToolIconPixmap(std::min(rect.width(), rect.height())));
            widget = icon;
            break;
        }
        case ControlKind::PushButton: {
            auto* ok = new QPushButton(QString::fromLatin1(control.text), this);
            ok->setDefault(true);
            connect(ok, &QPushButton::clicked, this, &QDialog::accept);
            widget = ok;
            break;
        }
        default:
            widget = new QLabel(QString::fromLatin1(control.text), this);
            break;
        }
        widget->setGeometry(rect);
        if (control.id != kNoControlId) {
            widget->setObjectName(QString::number(control.id));
        }
    }
    setFixedSize(pixels(0, 0, dialog.width, dialog.height).size());
    setWindowIcon(ToolIcon());
}

bool AboutDlg::OnInitDialog() {
    if (auto* version = findChild<QLabel*>(QStringLiteral("1062"))) {
        version->setText(QString::fromLatin1(kVersionText));
    }
    return true;
}
