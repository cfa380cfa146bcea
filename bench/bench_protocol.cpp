// How much the transport adds to the pauses the mouse needs: representative exchanges against the
// virtual mouse on the real clock, each timed against the sum of its mandated delays.
#include "CountingClock.h"
#include "Hid_Thread.h"
#include "ProtocolClock.h"
#include "VirtualMouse.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

namespace {

struct Exchange
{
    const char *name;
    const char *family;
    int reportLength;
    bool isGun;
    // What the protocol prescribes: settle pauses of 128 ms, 120 ms per data report out.
    int mandatedMs;
    std::function<void(Hid_Thread &)> run;
};

constexpr int rounds = 5;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    static uchar matrix[64];
    static uchar block[128];
    std::iota(std::begin(matrix), std::end(matrix), 0);
    std::iota(std::begin(block), std::end(block), 0);

    const std::vector<Exchange> exchanges = {
        {"553 key matrix (12H, 64 bytes, length 32)", "553", 32, false, 128 + 2 * 120 + 128,
         [](Hid_Thread &h) { h.hid553_12H_SetKeyMatrix(matrix, 1); }},
        {"560 profile block write + read (0CH, 8CH)", "560", 32, false, 128 + 4 * 120 + 128,
         [](Hid_Thread &h) {
             h.hid560_0CH_setProfile(block, 1);
             h.hid560_8CH_readProfile(block, 1);
         }},
        {"560 repeat rule (04H, four reports)", "560", 32, false, 4 * 128,
         [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(2); }},
        {"560 repeat rule, gun model (04H once)", "560", 64, true, 128,
         [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(2); }},
    };

    std::printf("%-44s %10s %10s %10s\n", "exchange (median of 5)", "wall ms", "delays ms", "overhead");
    bool allUnder = true;
    for (const Exchange &x : exchanges) {
        VirtualMouseConfig config;
        config.family = QString::fromLatin1(x.family);
        config.reportLength = x.reportLength;
        config.isGun = x.isGun;
        CountingClock clock;
        VirtualMouse mouse(config, &clock);
        mouse.setTraceEnabled(false);
        Hid_Thread hid;
        hid.setBackend(&mouse);
        hid.setClock(&clock);
        hid.setModelFlags(config.family, x.isGun);
        hid.setDeviceTable({mouse.deviceEntry()});

        std::vector<double> walls;
        for (int i = 0; i < rounds; ++i) {
            QElapsedTimer timer;
            timer.start();
            x.run(hid);
            walls.push_back(timer.nsecsElapsed() / 1e6);
            const qint64 slept = clock.takeTotal();
            if (slept != x.mandatedMs) {
                std::printf("  %s: slept %lld ms, the protocol asks for %d ms\n", x.name, static_cast<long long>(slept),
                            x.mandatedMs);
                allUnder = false;
            }
        }
        if (!mouse.protocolErrors().isEmpty())
            std::printf("  %s: the mouse found %lld protocol errors\n", x.name,
                        static_cast<long long>(mouse.protocolErrors().size()));
        std::sort(walls.begin(), walls.end());
        const double wall = walls[walls.size() / 2];
        const double overhead = (wall - x.mandatedMs) / x.mandatedMs * 100.0;
        allUnder = allUnder && overhead < 2.0;
        std::printf("%-44s %10.2f %10d %9.2f%%\n", x.name, wall, x.mandatedMs, overhead);
    }
    std::printf("goal: overhead under 2%% of the mandated delays: %s\n", allUnder ? "met" : "NOT met");
    return allUnder ? 0 : 1;
}
