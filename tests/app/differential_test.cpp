// Random sessions played again and again: once drawing only what changed
// and once drawing everything on every change, the back buffers are the
// same after every event; and a soak of every kind of event, after each of
// which the screen is what a full redraw gives, the board is consistent and
// the save file brings the same game back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/app/random_session.h"

namespace quorrin::test {
namespace {

// Play the session; the hash of the back buffer after every event.
std::vector<std::uint64_t> play(RedrawMode mode, const std::vector<RandomEvent>& events) {
    Session s(mode);
    s.windows.dialogScripts.push_back({{DialogStep::Press, kControlOk}});
    queueEvents(s, events);
    std::vector<std::uint64_t> hashes;
    s.windows.afterEvent = [&](GameApp& app) {
        EXPECT_TRUE(s.windows.showsBackBuffer()) << "event " << hashes.size();
        hashes.push_back(surfaceHash(app.screen.backBuffer));
    };
    s.app.run();
    return hashes;
}

TEST_F(GameTest, PartialRedrawsGiveTheSamePixelsAsFullOnes) {
    writeBytes(file("easy.dat"), kSmall);
    shipFirstCollection();
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const std::vector<RandomEvent> events = randomEvents(seed, 250, 1600, 1000);
        std::filesystem::remove(savePath());
        const auto full = play(RedrawMode::Full, events);
        std::filesystem::remove(savePath());
        const auto partial = play(RedrawMode::Partial, events);
        ASSERT_EQ(full.size(), partial.size());
        for (std::size_t i = 0; i < full.size(); ++i) {
            ASSERT_EQ(full[i], partial[i]) << "seed " << seed << ", event " << i;
        }
    }
}

TEST_F(GameTest, SoakEveryEventKeepsScreenBoardAndSaveFileRight) {
    writeBytes(file("easy.dat"), kSmall);
    shipFirstCollection();
    Session s;
    s.windows.dialogScripts.push_back({{DialogStep::Press, kControlOk}});
    // QUORRIN_SOAK_EVENTS=100000 QUORRIN_SOAK_SEED=n for a long run.
    const char* count = std::getenv("QUORRIN_SOAK_EVENTS");
    const char* seed = std::getenv("QUORRIN_SOAK_SEED");
    const std::vector<RandomEvent> events =
        randomEvents(seed ? static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10)) : 7u,
                     count ? std::atoi(count) : 1500, 3840, 2160);
    queueEvents(s, events);
    std::size_t done = 0;
    std::string fault;
    s.windows.afterEvent = [&](GameApp& app) {
        fault = checkScreenAndBoard(app, s.windows);
        if (fault.empty()) fault = checkSaveRoundTrip(app);
        if (!fault.empty()) s.windows.events.clear();  // stop at the first fault
        ++done;
    };
    s.app.run();
    EXPECT_EQ(fault, "") << "after event " << done - 1 << " of kind " << events[done - 1].kind;
    EXPECT_EQ(done, events.size());
}

}  // namespace
}  // namespace quorrin::test
