// The About box's commands and where dialogs go on screen.
#include <gtest/gtest.h>

#include <climits>

#include "dialogs/dialogs.h"
#include "fake_dialog.h"

namespace quorrin {
namespace {

TEST(AboutDialogTest, OkAndCancelEndIt) {
    for (auto [control, handled, result] :
         {std::tuple{kControlOk, true, 1}, std::tuple{kControlCancel, true, 2},
          std::tuple{3, false, 0}}) {
        test::FakeDialog dialog;
        AboutDialog about;
        EXPECT_TRUE(about.init(dialog));
        EXPECT_EQ(about.command(control, 0, dialog), handled) << control;
        EXPECT_EQ(dialog.result, result) << control;
    }
}

TEST(CentreDialogTest, CentredOverTheOwnerThenIntoTheWorkArea) {
    const ScreenRect screen{0, 0, 1920, 1040};
    struct Case {
        const char* what;
        std::int32_t width, height;
        ScreenRect owner, work;
        std::int32_t x, y;
    };
    for (const Case& k : {
             Case{"centred", 200, 100, {100, 100, 501, 401}, screen, 200, 200},
             Case{"halves truncate toward zero",
                  100,
                  100,
                  {-301, -303, 0, 0},
                  {-1000, -1000, 1000, 1000},
                  -200,
                  -201},
             Case{"owner off the top left", 200, 100, {-300, -200, 100, 200}, screen, 0, 0},
             Case{"owner off the bottom right",
                  300,
                  200,
                  {1800, 900, 2400, 1300},
                  screen,
                  1620,
                  840},
             // Larger than the work area: the left (top) edge wins when the
             // centred position lies before it, else the right (bottom) edge.
             Case{"larger, before the work area",
                  1000,
                  700,
                  {0, 0, 800, 600},
                  {0, 0, 800, 600},
                  0,
                  0},
             Case{"larger, inside the work area",
                  1000,
                  700,
                  {400, 300, 1200, 900},
                  {0, 0, 800, 600},
                  -200,
                  -100},
             Case{"sums beyond 32 bits",
                  100,
                  100,
                  {INT_MAX - 647, INT_MIN, INT_MAX, INT_MIN + 100},
                  {0, INT_MIN, INT_MAX, 0},
                  INT_MAX - 374,
                  INT_MIN},
         }) {
        const ScreenPoint at = centreDialog(k.width, k.height, k.owner, k.work);
        EXPECT_EQ(at.x, k.x) << k.what;
        EXPECT_EQ(at.y, k.y) << k.what;
    }
}

}  // namespace
}  // namespace quorrin
