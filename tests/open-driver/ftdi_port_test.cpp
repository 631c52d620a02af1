// The translations of the driver's codes into libftdi1's, and the read clock.
#include "open-driver/ftdi_port.h"

#include <ftdi.h>
#include <gtest/gtest.h>

#include "open-driver/read_clock.h"

namespace klxr::open_driver {
namespace {

TEST(FtdiPort, LineSettings) {
  const struct {
    int wordLength, stopBits, parity;
    bool valid;
    int bits, stop, libraryParity;
  } cases[] = {
      {8, 0, 0, true, BITS_8, STOP_BIT_1, NONE},
      {7, 2, 1, true, BITS_7, STOP_BIT_2, ODD},
      {8, 0, 2, true, BITS_8, STOP_BIT_1, EVEN},
      {8, 0, 3, true, BITS_8, STOP_BIT_1, MARK},
      {8, 2, 4, true, BITS_8, STOP_BIT_2, SPACE},
      {6, 0, 0, false, 0, 0, 0},
      {9, 0, 0, false, 0, 0, 0},
      {8, 1, 0, false, 0, 0, 0},
      {8, 3, 0, false, 0, 0, 0},
      {8, 0, 5, false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const auto settings =
        LineSettingsFor(static_cast<d2xx::UCHAR>(c.wordLength),
                        static_cast<d2xx::UCHAR>(c.stopBits), static_cast<d2xx::UCHAR>(c.parity));
    ASSERT_EQ(settings.has_value(), c.valid) << c.wordLength << c.stopBits << c.parity;
    if (settings) {
      EXPECT_EQ(settings->bits, c.bits);
      EXPECT_EQ(settings->stopBits, c.stop);
      EXPECT_EQ(settings->parity, c.libraryParity);
    }
  }
}

TEST(FtdiPort, OpenFailures) {
  // ftdi_usb_open_dev: -4 cannot open it, -5 cannot claim it (held by another program or handle),
  // others: the USB stack failed (-3: the configuration could not be set). Only a device node that
  // libusb may not open for want of access makes -4 "not opened for writing". An index past the
  // adapters found is "not found" before any of these.
  const struct {
    int result;
    bool notPermitted;
    d2xx::FT_STATUS status;
  } cases[] = {
      {-3, false, d2xx::FT_DEVICE_NOT_OPENED}, {-4, false, d2xx::FT_DEVICE_NOT_OPENED},
      {-5, false, d2xx::FT_DEVICE_NOT_OPENED}, {-12, false, d2xx::FT_DEVICE_NOT_OPENED},
      {-3, true, d2xx::FT_DEVICE_NOT_OPENED},  {-4, true, d2xx::FT_DEVICE_NOT_OPENED_FOR_WRITE},
      {-5, true, d2xx::FT_DEVICE_NOT_OPENED}};
  for (const auto& c : cases) {
    EXPECT_EQ(OpenFailureStatus(c.result, c.notPermitted), c.status)
        << c.result << " " << c.notPermitted;
  }
}

TEST(ReadClock, CountedClockMovesOnlyWhenIdle) {
  EXPECT_EQ(ReadClock::KindFromEnvironment("counted"), ReadClock::Kind::kCounted);
  EXPECT_EQ(ReadClock::KindFromEnvironment(""), ReadClock::Kind::kReal);
  EXPECT_EQ(ReadClock::KindFromEnvironment("virtual"), ReadClock::Kind::kReal);
  ReadClock clock(ReadClock::Kind::kCounted);
  EXPECT_EQ(clock.Now().count(), 0);
  clock.Idle(std::chrono::milliseconds(16));
  clock.Idle(std::chrono::milliseconds(2));
  EXPECT_EQ(clock.Now().count(), 18);
}

}  // namespace
}  // namespace klxr::open_driver
