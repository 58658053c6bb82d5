// The naming table: a hub's name and part family from the USB IDs in its instance ID.
#include "hub/device_naming.h"
#include "tests/support/qt_print.h"
#include "topology/tcf_item.h"

#include <gtest/gtest.h>

namespace {

TEST(IdentifyHubTest, NamesAndFamiliesFollowTheTable) {
    struct NamingCase {
        const char* instanceId;
        const char* name;
        int partType;
    };
    const NamingCase cases[] = {
        // The Aster family, each with its PID range.
        {"USB\\VID_5A17&PID_7110\\6&1", "Aster", kPartAsterFamily},
        {"USB\\VID_5A17&PID_7111\\6&1", "Aster", kPartAsterFamily},
        {"USB\\VID_5A17&PID_7112\\6&1", "Aster", kPartAsterFamily},
        {"USB\\VID_5A17&PID_7205\\6&1", "Birch", kPartAsterFamily},
        {"USB\\VID_5A17&PID_7305\\6&1", "Cedar", kPartAsterFamily},
        {"USB\\VID_5A17&PID_7401\\6&1", "Dahlia", kPartAsterFamily},
        {"USB\\VID_5A17&PID_7402\\6&1", "Elder", kPartAsterFamily},
        // Fennel: 7510 to 7512 and 7520.
        {"USB\\VID_5A17&PID_7510\\6&1", "Fennel", kPartFennel},
        {"USB\\VID_5A17&PID_7512\\6&1", "Fennel", kPartFennel},
        {"USB\\VID_5A17&PID_7520\\6&1", "Fennel", kPartFennel},
        // Our vendor, a product just outside a range.
        {"USB\\VID_5A17&PID_7113\\6&1", "Kelvane-7113", kPartNotRecognized},
        {"USB\\VID_5A17&PID_710F\\6&1", "Kelvane-710F", kPartNotRecognized},
        {"USB\\VID_5A17&PID_7513\\6&1", "Kelvane-7513", kPartNotRecognized},
        {"USB\\VID_5A17&PID_7521\\6&1", "Kelvane-7521", kPartNotRecognized},
        {"USB\\VID_5A17&PID_7206\\6&1", "Kelvane-7206", kPartNotRecognized},
        {"USB\\VID_5A17&PID_7403\\6&1", "Kelvane-7403", kPartNotRecognized},
        // Another vendor.
        {"USB\\VID_1234&PID_5678\\6&1", "1234-5678", kPartNotRecognized},
        {"USB\\VID_5A18&PID_7111\\6&1", "5A18-7111", kPartNotRecognized},
        // Hex digits in either case; the name is written in capitals.
        {"USB\\VID_5a17&PID_7111\\6&1", "Aster", kPartAsterFamily},
        {"USB\\VID_abcd&PID_ef01\\6&1", "ABCD-EF01", kPartNotRecognized},
        // The trailing separator is not needed once every ID was read.
        {"USB\\VID_5A17&PID_7111", "Aster", kPartAsterFamily},
        // What does not parse counts as 0 from the first field that fails.
        {"garbage", "0000-0000", kPartNotRecognized},
        {"", "0000-0000", kPartNotRecognized},
        {"usb\\vid_5a17&pid_7111\\6&1", "0000-0000", kPartNotRecognized},
        {"USB\\VID_12", "1200-0000", kPartNotRecognized},
        {"USB\\VID_5A17&PIX_7111\\6&1", "Kelvane-0000", kPartNotRecognized},
        {"USB\\VID_5A17&PID_7\\6&1", "Kelvane-0700", kPartNotRecognized},
        {"USB\\VID_5A17&PID_G111\\6&1", "Kelvane-0000", kPartNotRecognized},
    };
    for (const NamingCase& c : cases) {
        const HubIdentity identity = IdentifyHub(QString::fromUtf8(c.instanceId));
        EXPECT_EQ(identity.name, QString::fromUtf8(c.name)) << c.instanceId;
        EXPECT_EQ(identity.partType, c.partType) << c.instanceId;
    }
}

} // namespace
