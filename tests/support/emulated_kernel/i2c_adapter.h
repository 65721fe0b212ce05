// An emulated I2C adapter (/dev/i2c-<n>) with chips at their addresses, among them the
// camera module's microcontroller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "emulated_kernel.h"

namespace Korvane::emulation {

class I2cChip {
public:
    virtual ~I2cChip() = default;
    // False makes the chip not acknowledge the message.
    virtual bool write(const uint8_t* bytes, size_t count) = 0;
    virtual bool read(uint8_t* bytes, size_t count) = 0;
};

// The module's microcontroller: register 0x0633 takes the frame rate (4 bytes, most
// significant first); 0x0631 requests an EEPROM block (offset and length, 2 bytes each,
// most significant first), which register 0x0632 then reads back.
class ModuleController final : public I2cChip {
public:
    explicit ModuleController(std::vector<uint8_t> eeprom) : eeprom_(std::move(eeprom)) {}

    bool write(const uint8_t* bytes, size_t count) override;
    bool read(uint8_t* bytes, size_t count) override;

    int32_t frameRate() const { return frameRate_; }
    const std::vector<uint8_t>& eeprom() const { return eeprom_; }

private:
    std::vector<uint8_t> eeprom_;
    int32_t frameRate_ = 0;
    bool blockRequested_ = false;
    bool readSelected_ = false;
    size_t blockOffset_ = 0, blockLength_ = 0;
};

class EmulatedI2cAdapter final : public EmulatedDevice {
public:
    // `bus` names the adapter in the trace ("i2c-<bus>").
    EmulatedI2cAdapter(Trace& trace, int bus, unsigned long functionality);

    void attach(uint16_t address, std::shared_ptr<I2cChip> chip) { chips_[address] = std::move(chip); }
    // Addresses a kernel driver owns: I2C_SLAVE refuses them, I2C_SLAVE_FORCE does not.
    void markBusy(uint16_t address) { busy_.insert(address); }
    // After `after` more transfers, the next `count` stop before their last message (a
    // short transfer).
    void shortenTransfers(int count, int after = 0) {
        shorten_ = count;
        shortenAfter_ = after;
    }
    void setFunctionality(unsigned long functionality) { functionality_ = functionality; }

    int ioctl(unsigned long request, void* arg) override;

    long slaveAddress() const { return slave_; }
    long timeout() const { return timeout_; }
    long retries() const { return retries_; }

private:
    int transfer(void* arg);

    Trace& trace_;
    int bus_;
    unsigned long functionality_;
    std::map<uint16_t, std::shared_ptr<I2cChip>> chips_;
    std::set<uint16_t> busy_;
    int shorten_ = 0;
    int shortenAfter_ = 0;
    long slave_ = -1, timeout_ = -1, retries_ = -1;
};

}  // namespace Korvane::emulation
