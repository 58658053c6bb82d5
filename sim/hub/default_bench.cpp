// The built-in bench, used when TESSARO_SIM_BENCH is not set. The same text is in
// examples/benches/default.json; docs/simulator.md lists its positions and topology strings.
#include "sim/hub/default_bench.h"

namespace simhub {

std::string_view DefaultBenchText() {
    return R"json({
  "programmingMs": 20,
  "otpWrites": 4,
  "otpSize": 4096,
  "spiSize": 262144,
  "controllers": [
    {
      "description": "Simulated eXtensible Host Controller A",
      "instanceId": "PCI\\VEN_8086&DEV_A36D&SUBSYS_00000000&REV_10\\3&11583659&0&A0",
      "path": "\\\\?\\PCI#VEN_8086&DEV_A36D&SUBSYS_00000000&REV_10#3&11583659&0&a0#{3abf6f2d-71c4-462a-8a92-1e6861e6af27}",
      "devices": [
        {
          "position": 1,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7111\\6&1a2b3c01&0&1",
          "description": "Kelvane Aster USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7111#6&1a2b3c01&0&1#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530101007111010101",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 2,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7510\\6&1a2b3c01&0&2",
          "description": "Kelvane Fennel USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7510#6&1a2b3c01&0&2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530102007510010201",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 3,
          "parent": 1,
          "type": "device",
          "instanceId": "USB\\VID_046D&PID_C31C\\7&2b3c4d02&0&1",
          "description": "USB Input Device",
          "path": "\\\\?\\USB#VID_046D&PID_C31C#7&2b3c4d02&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
          "uuid": "4B454C5654455353010300C31C010301"
        },
        {
          "position": 4,
          "parent": 1,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7205\\7&2b3c4d02&0&2",
          "description": "Kelvane Birch USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7205#7&2b3c4d02&0&2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530104007205010401",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 6,
          "parent": 4,
          "type": "device",
          "instanceId": "USB\\VID_0781&PID_5581\\8&3c4d5e03&0&1",
          "description": "USB Mass Storage Device",
          "path": "\\\\?\\USB#VID_0781&PID_5581#8&3c4d5e03&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
          "uuid": "4B454C56544553530106005581010601"
        },
        {
          "position": 7,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7305\\6&1a2b3c01&0&3",
          "description": "Kelvane Cedar USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7305#6&1a2b3c01&0&3#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530107007305010701",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 8,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7113\\6&1a2b3c01&0&4",
          "description": "Generic USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7113#6&1a2b3c01&0&4#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530108007113010801",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 9,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_1234&PID_5678\\6&1a2b3c01&0&5",
          "description": "Generic USB Hub",
          "path": "\\\\?\\USB#VID_1234&PID_5678#6&1a2b3c01&0&5#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530109005678010901",
          "storageMode": 4,
          "fault": "none"
        }
      ]
    },
    {
      "description": "Simulated eXtensible Host Controller B",
      "instanceId": "PCI\\VEN_1B21&DEV_2142&SUBSYS_00000000&REV_00\\4&2c4d6e8f&0&E4",
      "path": "\\\\?\\PCI#VEN_1B21&DEV_2142&SUBSYS_00000000&REV_00#4&2c4d6e8f&0&e4#{3abf6f2d-71c4-462a-8a92-1e6861e6af27}",
      "devices": [
        {
          "position": 1,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7401\\6&4d5e6f04&0&1",
          "description": "Kelvane Dahlia USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7401#6&4d5e6f04&0&1#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530201007401020101",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 2,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7402\\6&4d5e6f04&0&2",
          "description": "Kelvane Elder USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7402#6&4d5e6f04&0&2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530202007402020201",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 3,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7511\\6&4d5e6f04&0&3",
          "description": "Kelvane Fennel USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7511#6&4d5e6f04&0&3#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530203007511020301",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 4,
          "parent": 3,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7512\\7&5e6f7005&0&1",
          "description": "Kelvane Fennel USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7512#7&5e6f7005&0&1#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530204007512020401",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 5,
          "parent": 3,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7520\\7&5e6f7005&0&2",
          "description": "Kelvane Fennel USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7520#7&5e6f7005&0&2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530205007520020501",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 6,
          "parent": 0,
          "type": "hub",
          "instanceId": "USB\\VID_5A17&PID_7510\\6&4d5e6f04&0&4",
          "description": "Kelvane Fennel USB Hub",
          "path": "\\\\?\\USB#VID_5A17&PID_7510#6&4d5e6f04&0&4#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
          "uuid": "4B454C56544553530206007510020601",
          "storageMode": 4,
          "fault": "none"
        },
        {
          "position": 7,
          "parent": 2,
          "type": "device",
          "instanceId": "USB\\VID_046D&PID_0825\\7&6f708106&0&1",
          "description": "USB Video Device",
          "path": "\\\\?\\USB#VID_046D&PID_0825#7&6f708106&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
          "uuid": "4B454C56544553530207000825020701"
        }
      ]
    },
    {
      "description": "Simulated eXtensible Host Controller C",
      "instanceId": "PCI\\VEN_1022&DEV_149C&SUBSYS_00000000&REV_00\\4&3d5e7f90&0&41",
      "path": "\\\\?\\PCI#VEN_1022&DEV_149C&SUBSYS_00000000&REV_00#4&3d5e7f90&0&41#{3abf6f2d-71c4-462a-8a92-1e6861e6af27}",
      "devices": []
    }
  ],
  "timeline": []
})json";
}

} // namespace simhub
