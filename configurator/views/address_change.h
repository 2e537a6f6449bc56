#pragma once
// A module's local address is how every frame finds it: two modules on one
// address answer each other's frames, and a read meant for one may bring
// back the other's record. A write that would give a module an address the
// local module or another listed module already uses is asked about first,
// and a read after a write is shown only when it came from the module
// written to.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "qrvlink/qrvlink.h"
#include "views/module_record.h"

class Session;

struct AddressUser {
    enum class Kind { Nobody, Local, Listed };
    Kind kind = Kind::Nobody;
    int row = -1;  // the network list's row when Listed
};

// Who other than `self` uses `address`: the local module (its address when
// known) first, then the listed far modules (row i's address at i).
AddressUser FindAddressUser(std::uint16_t address, std::optional<std::uint16_t> localAddress,
                            const std::vector<std::uint16_t>& listed, const FormModule& self);

// "地址 0x0001 已被本地设备使用，仍要修改吗？"; empty for Nobody.
QString AddressClashQuestion(std::uint16_t address, const AddressUser& user);

enum class AddressCheck {
    Free,       // the address stays, or no other known module uses it
    Shared,     // another module uses it and the user chose to write anyway
    Cancelled,  // the user chose not to write
};

// Whether the form gives `self` a new address (not `currentAddress`) that
// another module uses; asks the user then.
AddressCheck ConfirmAddressChange(const Session& session, std::uint16_t currentAddress, const FormModule& self);
