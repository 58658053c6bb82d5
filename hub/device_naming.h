// Names a hub from the USB IDs in its instance ID, and tells its part family.
#pragma once

#include <QString>

struct HubIdentity {
    QString name;
    int partType; // a PartType; kPartNotRecognized when the IDs name no known part
};

// Parses "USB\VID_vvvv&PID_pppp\..." (each byte as at most two hex digits; a field that does
// not parse counts as 0) and looks the IDs up in the naming table.
HubIdentity IdentifyHub(const QString& instanceId);
