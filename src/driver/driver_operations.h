// driver_operations.h - one routine per driver command. Each returns true on success and prints
// its own failure line otherwise; a failure leaves the caller's destination untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "driver/driver.h"

// Asked by a write once the memory is open for writing, right before the request that carries the
// data goes out. False: the request is not sent, the memory is closed again and the write fails.
using BeforeDataRequest = std::function<bool()>;

// EEPROM. The block operations always work from EEPROM position 0; writes are bracketed by
// E2P_COMMAND 0x20000000 and 0x10000000.
bool E2P_COMMAND(Driver& driver, uint32_t value);
bool E2P_READ_BYTE(Driver& driver, uint16_t offset, uint8_t* byte);
bool E2P_WRITE_BYTE(Driver& driver, uint16_t offset, uint8_t byte);
bool E2P_READ_BLOCK(Driver& driver, uint16_t length, uint8_t* destination);
bool E2P_WRITE_BLOCK(Driver& driver, uint16_t length, const uint8_t* source,
                     const BeforeDataRequest& before_data = nullptr);

// Controller registers, PHY registers, PCI configuration space, PCIe PHY registers.
bool READ_REGISTER(Driver& driver, uint32_t address, uint32_t* value);
bool WRITE_REGISTER(Driver& driver, uint32_t address, uint32_t value);
// A 16-bit answer replaces only the low half of |*value|.
bool READ_PHY(Driver& driver, uint32_t index, uint32_t* value);
// Bits 31 to 29 of |index| choose whether 2 or 4 bytes of |value| reach the driver.
bool WRITE_PHY(Driver& driver, uint32_t index, uint32_t value);
bool READ_PCICFG(Driver& driver, uint16_t offset, uint32_t* value);
bool WRITE_PCICFG(Driver& driver, uint16_t offset, uint32_t value);
bool READ_PCIEPHY(Driver& driver, uint16_t address, uint16_t* value);
bool WRITE_PCIEPHY(Driver& driver, uint16_t address, uint16_t value);

// Statistics, driver and adapter information.
bool READ_TXRX_STATS(Driver& driver, uint8_t destination[kTxRxStatsSize]);
// Major, minor, build, QFE.
bool GET_DRIVER_VERSION(Driver& driver, uint32_t version[4]);
bool GET_ADAPTER_BITS(Driver& driver, uint32_t bits[3]);
bool GET_ADAPTER_PORT(Driver& driver, uint32_t* port);
// Text answers (wide characters). At most |capacity| bytes are copied; |*length| gets the count
// copied.
bool GET_ADAPTER_LOCATION(Driver& driver, uint8_t* destination, size_t capacity, size_t* length);
bool GET_ADAPTER_REGISTRY_KEY(Driver& driver, uint8_t* destination, size_t capacity,
                              size_t* length);
bool GET_ADAPTER_PDO_NAME(Driver& driver, uint8_t* destination, size_t capacity, size_t* length);

// Link. SET_LINK_MODE hands back the driver's one-byte reply.
bool SET_LINK_MODE(Driver& driver, uint32_t mode, uint8_t* reply);
bool SET_LINK_STATE(Driver& driver, uint32_t state);

// OTP. Reads are bracketed by OTP_CONFIGURE 0x2000000 and 0x1000000, writes by 0x6000002 and
// 0x1000000.
bool OTP_CONFIGURE(Driver& driver, uint32_t value);
bool OTP_READ_BLOCK(Driver& driver, uint16_t offset, uint16_t length, uint8_t* destination);
bool OTP_WRITE_BLOCK(Driver& driver, uint16_t offset, uint16_t length, const uint8_t* source,
                     const BeforeDataRequest& before_data = nullptr);

// Finds whether the EEPROM holds 256 or 512 bytes and stores it in |*size|, leaving the contents
// as they were. False as soon as an EEPROM request fails.
bool EepromSizeProbe(Driver& driver, int32_t* size);
