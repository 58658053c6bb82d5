// A page built from its dialog template: every control at its template position (dialog
// units converted with the page font's metrics), named by its id, so that tests find it with
// findChild<QWidget*>(QStringLiteral("1054")). Controls without an id have no name. The page
// shows a PageControls state and fills its legend boxes when it paints.
#pragma once

#include "pages/control_state.h"
#include "pages/dialog_template.h"
#include "pages/dialog_units.h"
#include "pages/tree_colors.h"

#include <QRect>
#include <QWidget>

#include <map>
#include <span>

class StatusBox;

class DialogPage : public QWidget {
    Q_OBJECT

public:
    DialogPage(const DialogTemplate& dialog, std::span<const treecolors::LegendBox> legend,
               QWidget* parent = nullptr);

    const DialogTemplate& Template() const { return dialog_; }
    // The widget of control `id`, or null.
    QWidget* Control(int id) const;
    template <typename T> T* ControlAs(int id) const { return qobject_cast<T*>(Control(id)); }
    // A rectangle of the template in this page's pixels.
    QRect ToPixels(int x, int y, int width, int height) const;
    QRect ToPixels(const ControlTemplate& control) const;
    // Where the tree goes: the rectangle of the hidden frame 1000.
    QRect TreeFrame() const;
    QSize sizeHint() const override;

protected:
    // Shows `controls` in the widgets.
    void ShowControls(const PageControls& controls);

private:
    class LegendLayer;
    void CreateLegendLayer();
    QWidget* CreateControl(const ControlTemplate& control);
    // Dialog units from the control's left edge to its right neighbour (or its group's edge).
    int RoomToTheRight(const ControlTemplate& control) const;
    void FitText(const ControlTemplate& control, QWidget& widget, QRect& rect) const;

    const DialogTemplate& dialog_;
    std::span<const treecolors::LegendBox> legend_;
    int baseX_ = 0;
    int baseY_ = 0;
    int listHeight_ = 0; // a closed drop-down list
    std::map<int, QWidget*> controls_;
};
