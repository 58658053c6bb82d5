// How the tree draws one item: its text colour and, in execution drawing, the removal marker
// behind a hub's label. A pure decision over what the item's device record answers, so it is
// tested without a screen; the tree's delegate only paints the result.
#pragma once

#include "pages/rgb.h"

#include <QString>

class CDeviceData;

// What the look depends on, asked in the order the decision needs it. The hub status and the
// removability are library queries, asked again at every paint.
class ITreeItemFacts {
public:
    virtual ~ITreeItemFacts() = default;
    virtual int DeviceType() = 0;
    virtual int TopologyState() = 0;
    virtual int HubStatus() = 0;
    virtual bool SafeToRemove() = 0;
};

// The facts of a real device record.
class RecordFacts : public ITreeItemFacts {
public:
    explicit RecordFacts(CDeviceData& record) : record_(record) {}
    int DeviceType() override;
    int TopologyState() override;
    int HubStatus() override;
    bool SafeToRemove() override;

private:
    CDeviceData& record_;
};

struct TreeItemLook {
    Rgb color;
    QString marker; // empty, or the removal marker drawn right after the label
    bool isHub = false;
};

// The look of an item in drawing mode `executionMode` (0 configuration, 1 execution).
// `facts` is null for an item without a device record.
TreeItemLook DecideTreeItemLook(ITreeItemFacts* facts, int executionMode);
