#include "SimDevices.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One request to the devices at a given time and the answer it must get.
struct Step {
    int64_t at;
    std::string op;  // "move", "status", "cddown", "reset", "led"
    int32_t device;
    int32_t slot;
    int32_t expected;
};

Step Move(int64_t at, int32_t device, int32_t slot, int32_t expected) {
    return {at, "move", device, slot, expected};
}
Step Status(int64_t at, int32_t device, int32_t expected) {
    return {at, "status", device, 0, expected};
}
Step CDDown(int64_t at, int32_t device, int32_t expected) {
    return {at, "cddown", device, 0, expected};
}
Step Reset(int64_t at, int32_t device, int32_t expected) {
    return {at, "reset", device, 0, expected};
}
Step Led(int64_t at, int32_t device, int32_t expected) {
    return {at, "led", device, 0, expected};
}

void Play(SimDevices& devices, const std::vector<Step>& steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        int32_t result = -100;
        if (s.op == "move") {
            result = devices.MoveTo(s.at, s.device, s.slot);
        } else if (s.op == "status") {
            result = devices.GetStatus(s.at, s.device);
        } else if (s.op == "cddown") {
            result = devices.GetCDDown(s.at, s.device);
        } else if (s.op == "reset") {
            result = devices.Reset(s.device);
        } else if (s.op == "led") {
            result = devices.SwitchLed(s.device);
        }
        EXPECT_EQ(result, s.expected)
            << "step " << i << ": " << s.op << " of device " << s.device << " at " << s.at << " ms";
    }
}

SimConfig Timed(int64_t moveMs, int64_t cdDownMs) {
    SimConfig config;
    config.moveMs = moveMs;
    config.cdDownMs = cdDownMs;
    return config;
}

std::vector<int32_t> List(const SimDevices& devices) {
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < devices.Count(); ++i) {
        ids.push_back(devices.At(i));
    }
    return ids;
}

TEST(SimDevicesTest, EnumerationFollowsTheConfiguredOrder) {
    SimConfig config;
    config.devices = {7, 2, 40};
    SimDevices devices(config);
    EXPECT_EQ(devices.Count(), 3);
    EXPECT_EQ(List(devices), (std::vector<int32_t>{7, 2, 40}));
    for (int32_t outside : {-1, 3, 1000}) {
        EXPECT_EQ(devices.At(outside), -1) << outside;
    }
    config.devices = {};
    EXPECT_EQ(SimDevices(config).Count(), 0);
    EXPECT_EQ(SimDevices(config).At(0), -1);
}

TEST(SimDevicesTest, AMoveKeepsTheDeviceBusyAndTheDiscDownForTheirTimes) {
    SimDevices devices(Timed(100, 50));
    Play(devices, {
                      Status(0, 1, 0),
                      CDDown(0, 1, 0),
                      Move(10, 1, 36, 0),
                      Status(10, 1, 1),
                      CDDown(10, 1, 1),
                      Move(50, 1, 37, 1),  // busy: rejected, and the timing stays
                      Status(109, 1, 1),
                      Status(110, 1, 0),
                      CDDown(110, 1, 1),
                      CDDown(159, 1, 1),
                      CDDown(160, 1, 0),
                      Status(10, 0, 0),  // the other device is untouched
                      CDDown(10, 0, 0),
                      Move(160, 1, 37, 0),  // the same slot as shown is a move like any other
                      Move(260, 1, 37, 0),
                      Status(300, 1, 1),
                  });
}

TEST(SimDevicesTest, ZeroTimesMakeAMoveInstant) {
    SimDevices devices(Timed(0, 0));
    Play(devices, {Move(5, 0, 1, 0), Status(5, 0, 0), CDDown(5, 0, 0), Move(5, 0, 2, 0)});
}

TEST(SimDevicesTest, EveryDeviceIsBusyAtStart) {
    SimConfig config = Timed(100, 0);
    config.busyAtStartMs = 300;
    config.devices = {0, 1};
    SimDevices devices(config);
    devices.Attach(5);  // a device attached later waits for the same time
    Play(devices, {
                      Status(0, 0, 1),
                      Status(299, 1, 1),
                      Move(200, 0, 3, 1),
                      Status(299, 5, 1),
                      CDDown(100, 0, 0),
                      Status(300, 0, 0),
                      Status(300, 5, 0),
                      Move(300, 1, 3, 0),
                      Status(399, 1, 1),
                  });
}

TEST(SimDevicesTest, RejectedMovesAreCountedPerMoveAndPerDevice) {
    SimConfig config = Timed(100, 0);
    config.rejectMoves = 2;
    SimDevices devices(config);
    Play(devices, {
                      Move(0, 0, 10, 1),
                      Move(0, 0, 10, 1),
                      Move(0, 1, 10, 1),  // device 1 keeps its own count
                      Move(0, 0, 10, 0),
                      Move(50, 0, 11, 1),  // busy: does not count as a rejection
                      Move(60, 0, 11, 1),
                      Move(100, 0, 11, 1),  // the next move is rejected twice again
                      Move(100, 0, 11, 1),
                      Move(100, 0, 11, 0),
                      Move(0, 1, 10, 1),
                      Move(0, 1, 10, 0),
                  });
}

TEST(SimDevicesTest, BadSlotsAreReportedBeforeTheDeviceState) {
    SimDevices devices(Timed(100, 0));
    Play(devices, {
                      Move(0, 0, 0, 2),
                      Move(0, 0, 151, 2),
                      Move(0, 0, -1, 2),
                      Status(0, 0, 0),  // none of them started a move
                      Move(0, 0, 150, 0),
                      Move(10, 0, 151, 2),  // busy, and still a bad slot
                      Move(100, 1, 1, 0),
                  });
}

TEST(SimDevicesTest, BadSlotsDoNotUseUpRejections) {
    SimConfig config = Timed(10, 0);
    config.rejectMoves = 1;
    SimDevices devices(config);
    Play(devices, {Move(0, 0, 0, 2), Move(0, 0, 5, 1), Move(0, 0, 5, 0)});
}

TEST(SimDevicesTest, AnUnknownDeviceGivesThreeToEveryRequest) {
    SimDevices devices(SimConfig{});
    for (int32_t unknown : {2, -1, 99}) {
        Play(devices, {Move(0, unknown, 5, 3), Move(0, unknown, 0, 3), Status(0, unknown, 3),
                       CDDown(0, unknown, 3), Reset(0, unknown, 3), Led(0, unknown, 3)});
    }
    Play(devices, {Reset(0, 0, 0), Led(0, 1, 0)});
}

TEST(SimDevicesTest, NeverReadyDevicesNeverAcceptAMove) {
    SimConfig config = Timed(10, 10);
    config.neverReady = {1};
    SimDevices devices(config);
    Play(devices, {
                      Status(0, 1, 1),
                      Move(0, 1, 5, 1),
                      CDDown(0, 1, 0),
                      Reset(10, 1, 0),
                      Status(1000000000, 1, 1),
                      Move(1000000000, 1, 5, 1),
                      Move(0, 0, 5, 0),  // the other device works
                      Status(10, 0, 0),
                  });
}

TEST(SimDevicesTest, ResetLeavesTheBusyTimeAlone) {
    SimDevices devices(Timed(100, 50));
    Play(devices, {Move(0, 0, 9, 0), Reset(10, 0, 0), Status(10, 0, 1), CDDown(10, 0, 1),
                   Status(100, 0, 0), CDDown(150, 0, 0)});
}

TEST(SimDevicesTest, HotPlugChangesTheListAndStartsDevicesAfresh) {
    SimConfig config = Timed(100, 0);
    config.devices = {0, 1, 2};
    config.neverReady = {7};
    SimDevices devices(config);

    EXPECT_FALSE(devices.Attach(1));  // attached already
    EXPECT_TRUE(devices.Attach(7));
    EXPECT_EQ(List(devices), (std::vector<int32_t>{0, 1, 2, 7}));
    Play(devices, {Status(0, 7, 1)});  // never_ready holds for a device attached later

    Play(devices, {Move(0, 1, 4, 0)});
    EXPECT_TRUE(devices.Detach(1));
    EXPECT_FALSE(devices.Detach(1));
    EXPECT_FALSE(devices.Detach(42));
    EXPECT_EQ(List(devices), (std::vector<int32_t>{0, 2, 7}));
    Play(devices, {Status(10, 1, 3), Move(10, 1, 4, 3)});

    EXPECT_TRUE(devices.Attach(1));
    EXPECT_EQ(List(devices), (std::vector<int32_t>{0, 2, 7, 1}));
    Play(devices, {Status(10, 1, 0), CDDown(10, 1, 0), Move(10, 1, 4, 0)});
}

}  // namespace
