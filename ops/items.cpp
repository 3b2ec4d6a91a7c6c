#include "ops/items.h"

namespace ops::items {
namespace {

constexpr const char* kMasterRoleItems[] = {"HART_modem 主设备用", "HART_modem 副主设备用"};
constexpr const char* kTransferFunctionItems[] = {"线性", "开方"};
constexpr const char* kBurstCommandItems[] = {"1", "2", "3"};
constexpr const char* kEhSensorNumberItems[] = {"传感编号1", "传感编号2"};
constexpr const char* kEhWiringItems[] = {"00_2 line", "01_3line", "04_4line"};
constexpr const char* kEhPolynomialItems[] = {"设置系数X0", "设置系数X1", "设置系数X2",
                                              "设置系数X3", "设置系数X4"};
constexpr const char* kEhCallendarItems[] = {"设置计数系数A", "设置计数系数B", "设置计数系数C",
                                             "设置计数系数R0"};
constexpr const char* kOffOnItems[] = {"OFF", "ON"};

}  // namespace

const List kMasterRole = kMasterRoleItems;
const List kTransferFunction = kTransferFunctionItems;
const List kBurstCommand = kBurstCommandItems;
const List kEhSensorNumber = kEhSensorNumberItems;
const List kEhWiring = kEhWiringItems;
const List kEhPolynomial = kEhPolynomialItems;
const List kEhCallendar = kEhCallendarItems;
const List kOffOn = kOffOnItems;

}  // namespace ops::items
