// The state of a page's controls as the page's rules leave it: enabled, visible, checked,
// text, list contents and selection. The page models change only this; the window's widgets
// show it, and tests read it without a screen.
#pragma once

#include "pages/dialog_template.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

struct ControlState {
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    QString text;          // caption, edit text
    QStringList items;     // list entries
    QList<int> itemData;   // one value per entry
    int currentIndex = -1; // selected entry, -1 for none
    int textLimit = 0;     // characters an edit accepts, 0 for no limit

    QString CurrentText() const;
    // The item data of the selected entry, or -1 without a selection.
    int CurrentData() const;
};

class PageControls {
public:
    // Every control of the template that has an id, in its template state.
    explicit PageControls(const DialogTemplate& dialog);

    bool Contains(int id) const { return controls_.count(id) != 0; }
    ControlState& operator[](int id);
    const ControlState& At(int id) const;
    std::vector<int> Ids() const;

    void Enable(int id, bool enabled = true) { (*this)[id].enabled = enabled; }
    void Show(int id, bool visible = true) { (*this)[id].visible = visible; }
    void Check(int id, bool checked) { (*this)[id].checked = checked; }
    void SetText(int id, const QString& text) { (*this)[id].text = text; }
    // Replaces a list's entries; nothing is selected afterwards.
    void ResetList(int id, const QStringList& items, const QList<int>& itemData = {});
    // Selects entry `index`; an index outside the list selects nothing.
    void SetCurrentIndex(int id, int index);
    // Selects the entry whose text equals `text` exactly; nothing when there is none.
    void SelectText(int id, const QString& text);

private:
    std::map<int, ControlState> controls_;
};
