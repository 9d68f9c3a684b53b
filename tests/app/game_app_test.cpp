// The game end to end through the fake window system, as scenarios: the
// files beside the program, then one or more runs of it, each a script of
// words run by one driver. After every event the window shows the back
// buffer. The words:
//   tN          N clock ticks, delivered while the clock runs
//   L5h L5v     move to the edge right of / below vertex 5 and left-click
//   R5h         the same with the right button
//   @x,y  bN    move to the client point / toolbar button N and left-click
//   cN  end     command N; the operating-system session ends
//   wW,H        the client area resized
//   solve       left-click the lines of a solution not yet drawn
//   snap        note the board and the count of copies to the window
//   yes no      the next answer to a question (queued before the run)
//   {a,b,..}    the next dialog's steps (queued before the run): t tick,
//               s2 select line 2, ok cancel clear press, dbl double-click,
//               yes no answer, x the file gone.dat vanishes
//   nowindow    no window can be made
//   refuse      the save file cannot be replaced from now on
//   full        the disk is full (the temporary file is /dev/full)
//   tmpdir      a folder stands where the temporary file would go
//   nopath      the save path is lost: no save can succeed
//   rmsave      the save file is removed
//   ?key=value  check a key (see keys below) now; !key=value after the run
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

#include "dialogs/texts.h"
#include "tests/app/game_fixture.h"

namespace quorrin::test {
namespace {

namespace fs = std::filesystem;

// Three small puzzles, each with a solution: 2 x 2, 3 x 2 and 1 x 1.
const std::string kSmall = "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/.\n";

bool& replaceRefused() {
    static bool refused = false;
    return refused;
}

struct Scenario {
    const char* name;
    const char* files;  // easy, first (shipped), broken (empty), gone, sav (a blank save file)
    std::vector<const char*> runs;
};

const Scenario kScenarios[] = {
    // Start-up with no collection to open, or the first dialog cancelled:
    // the error box, exit code 0, and the save file as it was.
    {"no collection", "", {"{ok} !exit=0 !errors=load !calls=dialog122:2 !save=none"}},
    {"no collection, a save file", "sav", {"{ok} !exit=0 !errors=load !earlier=1"}},
    {"first dialog cancelled", "easy", {"{cancel} !exit=0 !errors=load !save=none"}},
    {"no window", "easy", {"{ok} nowindow !exit=0 !errors= !down=1 !save=none"}},
    // The first game solved by clicks: the banner in the middle, the toolbar
    // strip blank, the clock stopped, the clear time written at once, the
    // banner kept by a repaint at the same size. Any click moves on; the
    // run ends in a trial, which the next run resumes with marks and clock;
    // a roll back then returns to the board as resumed.
    {"whole game",
     "first",
     {"{ok} ?size=432x464 ?solved=0 ?clock=1 ?puzzle=0 t3 solve ?solved=1 ?banner=1 ?clock=0 "
      "?bar=1 "
      "?mid=0 ?save=first.dat/0/-1/-1h/3/3.0.0 w432,464 ?banner=1 ?bar=1 ?mid=0 @10,10 ?solved=0 "
      "?puzzle=1 ?elapsed=0 t5 L0h b2 R0v L1h ?trial=2 ?origin=0v snap "
      "!save=first.dat/1/2/0v/5/3.0.0 !down=1",
      "?solved=0 ?clock=1 ?same=1 ?elapsed=5 ?trial=2 t1 L2h b3 ?trial=0 ?origin=-1h ?same=1 "
      "?elapsed=6 !errors="}},
    {"clock held at 59:59", "easy", {"{ok} t3700 ?elapsed=3599 solve ?clears=3599.0.0"}},
    // After a solve a click starts the next uncleared puzzle, wrapping
    // round; moves and right clicks do nothing; all cleared, nothing starts.
    {"solved moves on",
     "easy",
     {"{ok} {s1,ok} b0 ?puzzle=1 t2 solve snap R0h ?dp=0 ?same=1 @300,300 ?puzzle=2 t2 solve "
      "@300,300 ?puzzle=0 t2 solve @300,300 ?solved=1 ?clears=2.2.2"}},
    // Cancel leaves all as it was (only the hover is drawn); OK starts afresh.
    {"restart",
     "easy",
     {"{ok} t4 L1h b2 snap no yes b1 ?same=1 ?elapsed=4 ?trial=1 ?dp=1 b1 ?same=0 ?elapsed=0 "
      "?trial=0 ?questions=restart,restart"}},
    // Button 3 does nothing while off; the first mark after arming is the
    // origin; roll back restores the armed board; button 2 commits.
    {"trial",
     "easy",
     {"{ok} b3 ?trial=0 L0h b2 ?trial=1 snap L1v R3h ?trial=2 ?origin=1v b3 ?same=1 ?trial=0 "
      "?origin=-1h b2 L1v b2 ?same=0 ?trial=0 ?origin=-1h"}},
    // OK starts the chosen puzzle and writes it at once; the clock runs in
    // the dialog; クリア answered Cancel keeps the times, OK erases and
    // writes them, with the current puzzle selected; a double-click chooses.
    {"puzzle dialog",
     "easy",
     {"{ok} t1 solve ?clears=1.0.0 @300,300 ?puzzle=1 {t,t,s2,ok} b0 ?puzzle=2 ?elapsed=0 "
      "?save=easy.dat/2/0/-1h/0/1.0.0 t1 {t,no,clear,cancel} b0 ?elapsed=2 ?clears=1.0.0 "
      "{s0,yes,clear,cancel} b0 ?clears=0.0.0 ?dsel=2 ?puzzle=2 ?save=easy.dat/2/0/-1h/2/0.0.0 "
      "{s1,dbl} b0 ?puzzle=1"}},
    {"failed open",
     "easy broken",
     {"{s1,ok} L0h snap {s0,ok} c120 ?calls=dialog122:1,create,loop,dialog122:2 ?name=easy.dat "
      "?count=3 ?same=1 ?solved=0"}},
    // Each way out saves the game as it is; after the session ends nothing
    // else reaches the disk.
    {"menu exit", "easy", {"{ok} t2 L0h c114 !save=easy.dat/0/0/-1h/2/0.0.0"}},
    {"close box", "easy", {"{ok} t2 L0h !save=easy.dat/0/0/-1h/2/0.0.0 !questions="}},
    {"session end", "easy", {"{ok} t2 L0h end nopath !save=easy.dat/0/0/-1h/2/0.0.0"}},
    {"armed", "easy", {"{ok} t2 L0h b2 !save=easy.dat/0/1/-1h/2/0.0.0"}},
    {"solved", "easy", {"{ok} t2 L0h solve !save=easy.dat/0/-1/-1h/2/2.0.0"}},
    {"once a minute",
     "easy",
     {"{ok} t59 ?save=none t1 ?save=easy.dat/0/0/-1h/60/0.0.0 rmsave t60 "
      "?save=easy.dat/0/0/-1h/120/0.0.0"}},
    // Faults: the old save file stays whole and the player is asked at the
    // end (not at the minute's save) while the save cannot be written; a
    // full disk's failed write takes its temporary file away, so the retry
    // finds room.
    {"save refused",
     "easy",
     {"{ok} L0h", "no L1v refuse t60 ?questions= !questions=save !earlier=1 !tmp=0"}},
    {"save refused twice",
     "easy",
     {"{ok} L0h", "yes no L1v refuse !questions=save,save !earlier=1 !tmp=0"}},
    {"full disk",
     "easy",
     {"{ok} L0h", "yes L1v full !questions=save !earlier=0 !save=easy.dat/0/0/-1h/0/0.0.0"}},
    {"never saved",
     "easy",
     {"{ok} L0h", "yes yes no L1v tmpdir !questions=save,save,save !earlier=1"}},
    // A collection that vanishes after the listing: in play the dialog
    // stays open on a double-click and ends with 2 on OK, the game going on;
    // at start-up, the error box and nothing written.
    {"collection gone in play",
     "easy gone",
     {"{ok} {s1,x,dbl,ok} c120 ?dlines=easy,gone ?calls=dialog122:1,create,loop,dialog122:2 "
      "?name=easy.dat ?solved=0"}},
    {"collection gone at start", "gone", {"{x,ok} !exit=0 !errors=load !save=none"}},
};

// A text for each known message box, "?" for any other.
std::string boxes(const std::vector<std::string>& shown) {
    std::string names;
    for (const std::string& box : shown) {
        names += names.empty() ? "" : ",";
        names += box == std::string(texts::kLoadFailed) + "|" + texts::kInitErrorCaption ? "load"
                 : box == std::string(texts::kRestartQuestion) + "|" + texts::kConfirmCaption
                     ? "restart"
                 : box == std::string(texts::kSaveFailed) + "|" + texts::kSaveErrorCaption ? "save"
                                                                                           : "?";
    }
    return names;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
    return text;
}

std::string edgeText(std::int32_t vertex, int vertical) {
    return std::to_string(vertex) + (vertical ? "v" : "h");
}

class ScenarioTest : public StoreTest {
  protected:
    // The save file read back: name/puzzle/resume/origin/elapsed/the first
    // three clear times; "none" when there is none.
    std::string save() const {
        if (!fs::exists(savePath())) return "none";
        ProgressStore s;
        const std::string bytes = readBytes(savePath());
        if (!s.decodeSaveFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
            return "unreadable";
        return std::string(s.collectionName) + "/" + std::to_string(s.currentPuzzle) + "/" +
               std::to_string(s.resumeState) + "/" + edgeText(s.originVertex, s.originOrientation) +
               "/" + std::to_string(s.elapsedSeconds) + "/" +
               (s.records.empty() ? "-" : clears(s.records[0].clearTimes));
    }
    static std::string clears(const std::int16_t* times) {
        return std::to_string(times[0]) + "." + std::to_string(times[1]) + "." +
               std::to_string(times[2]);
    }
    void play(const std::string& script);

    std::vector<std::uint8_t> snapCodes, snapClues;
    int snapPresents = 0;
};

void ScenarioTest::play(const std::string& script) {
    Session s;
    FakeWindows& w = s.windows;
    GameApp& app = s.app;
    int exitCode = -1;
    const std::string earlier = readBytes(savePath());
    const std::map<std::string, std::function<std::string()>> keys = {
        {"elapsed", [&] { return std::to_string(app.elapsed); }},
        {"puzzle", [&] { return std::to_string(app.progress.currentPuzzle); }},
        {"solved", [&] { return std::to_string(app.solved); }},
        {"trial", [&] { return std::to_string(app.trialState); }},
        {"origin", [&] { return edgeText(app.trialOrigin.vertex, app.trialOrigin.vertical); }},
        {"banner", [&] { return std::to_string(app.bannerShown()); }},
        {"clock", [&] { return std::to_string(w.clockRunning); }},
        {"same",
         [&] {
             return std::to_string(app.board.codes == snapCodes && app.board.clues == snapClues);
         }},
        {"dp", [&] { return std::to_string(w.presents - snapPresents); }},
        {"clears", [&] { return clears(app.progress.currentProgress()->clearTimes); }},
        {"name", [&] { return std::string(app.progress.collectionName); }},
        {"count", [&] { return std::to_string(app.progress.collection.puzzleCount); }},
        {"size",
         [&] {
             const Surface& b = app.screen.backBuffer;
             return std::to_string(b.width) + "x" + std::to_string(b.height);
         }},
        // The toolbar strip's row 16 white, the middle of the window white.
        {"bar",
         [&] {
             bool white = true;
             for (std::int32_t x = 0; x < w.window.width; x += 7)
                 white = white && std::memcmp(w.window.row(16) + 3 * x, "\xff\xff\xff", 3) == 0;
             return std::to_string(white);
         }},
        {"mid",
         [&] {
             return std::to_string(std::memcmp(w.window.row(232) + 3 * 216, "\xff\xff\xff", 3) ==
                                   0);
         }},
        {"dsel", [&] { return std::to_string(w.lastDialog.lists[kPuzzleList].selected); }},
        {"dlines", [&] { return joined(w.lastDialog.lists[kCollectionList].lines); }},
        {"questions", [&] { return boxes(w.questions); }},
        {"errors", [&] { return boxes(w.errors); }},
        {"calls", [&] { return joined(w.calls); }},
        {"exit", [&] { return std::to_string(exitCode); }},
        {"down", [&] { return std::to_string(app.shutDown()); }},
        {"save", [&] { return save(); }},
        {"earlier", [&] { return std::to_string(readBytes(savePath()) == earlier); }},
        {"tmp", [&] { return std::to_string(fs::exists(file("quorrin.sav.tmp"))); }},
    };
    auto check = [&keys](const std::string& word) {
        const std::size_t eq = word.find('=');
        EXPECT_EQ(keys.at(word.substr(1, eq - 1))(), word.substr(eq + 1)) << word;
    };
    auto event = [&w](std::function<void(GameApp&)> f) { w.events.push_back(std::move(f)); };
    auto click = [event](bool left, std::function<Point(GameApp&)> at) {
        event([=](GameApp& a) {
            const Point p = at(a);
            a.onMouseMove(p.x, p.y);
            left ? a.onLeftClick(p.x, p.y) : a.onRightClick(p.x, p.y);
        });
    };
    std::vector<std::string> after;
    std::istringstream words(script);
    for (std::string word; words >> word;) {
        const int n = std::atoi(word.c_str() + 1);
        int x = 0, y = 0;
        const bool pair = std::sscanf(word.c_str() + 1, "%d,%d", &x, &y) == 2;
        if (word[0] == '?') {
            event([check, word](GameApp&) { check(word); });
        } else if (word[0] == '!') {
            after.push_back(word);
        } else if (word == "end") {
            event([](GameApp& a) { a.onEndSession(); });
        } else if (word == "solve") {
            event([](GameApp& a) {
                for (EdgeRef e : solutionOf(a)) {
                    const Point p = edgePoint(a, e);
                    if (a.board.edgeState(e) != Line) a.onLeftClick(p.x, p.y);
                }
            });
        } else if (word == "snap") {
            event([this, &w](GameApp& a) {
                snapCodes = a.board.codes;
                snapClues = a.board.clues;
                snapPresents = w.presents;
            });
        } else if (word == "yes" || word == "no") {
            w.answers.push_back(word == "yes");
        } else if (word[0] == '{') {
            DialogScript steps;
            std::istringstream list(word.substr(1, word.size() - 2));
            for (std::string step; std::getline(list, step, ',');) {
                const std::map<std::string, DialogStep> named = {
                    {"t", {DialogStep::Tick}},
                    {"ok", {DialogStep::Press, kControlOk}},
                    {"cancel", {DialogStep::Press, kControlCancel}},
                    {"clear", {DialogStep::Press, kClearButton}},
                    {"dbl", {DialogStep::DoubleClick}},
                    {"yes", {DialogStep::Answer, 1}},
                    {"no", {DialogStep::Answer, 0}},
                    {"x", {DialogStep::Run, 0, [this] { fs::remove(file("gone.dat")); }}}};
                steps.push_back(step[0] == 's' ? DialogStep{DialogStep::Select, std::atoi(&step[1])}
                                               : named.at(step));
            }
            w.dialogScripts.push_back(steps);
        } else if (word == "nowindow") {
            w.windowCanBeMade = false;
        } else if (word == "refuse") {
            event([](GameApp&) { replaceRefused() = true; });
        } else if (word == "full") {
            event([this](GameApp&) { fs::create_symlink("/dev/full", file("quorrin.sav.tmp")); });
        } else if (word == "tmpdir") {
            event([this](GameApp&) { fs::create_directory(file("quorrin.sav.tmp")); });
        } else if (word == "nopath") {
            event([](GameApp& a) { a.progress.savePath[0] = '\0'; });
        } else if (word == "rmsave") {
            event([this](GameApp&) { fs::remove(savePath()); });
        } else if (word[0] == 't') {
            for (int i = 0; i < n; ++i)
                event([&w](GameApp& a) {
                    if (w.clockRunning) a.onClockTick();
                });
        } else if (word[0] == 'L' || word[0] == 'R') {
            const EdgeRef e{n, static_cast<std::uint8_t>(word.back() == 'v')};
            click(word[0] == 'L', [e](GameApp& a) { return edgePoint(a, e); });
        } else if (word[0] == '@') {
            click(true, [x, y](GameApp&) { return Point{x, y}; });
        } else if (word[0] == 'b') {
            click(true, [n](GameApp& a) {
                return Point{a.screen.toolbarX + n * kButtonWidth + kButtonWidth / 2, 16};
            });
        } else if (word[0] == 'c') {
            event([n](GameApp& a) { a.onCommand(n); });
        } else if (word[0] == 'w' && pair) {
            event([&w, x, y](GameApp&) { w.resize(x, y); });
        } else {
            ADD_FAILURE() << "unknown word " << word;
        }
    }
    w.afterEvent = [&w](GameApp&) { EXPECT_TRUE(w.showsBackBuffer()); };
    exitCode = app.run();
    replaceRefused() = false;
    EXPECT_TRUE(w.events.empty()) << "the window closed early";
    for (const std::string& word : after) check(word);
}

TEST_F(ScenarioTest, Scenarios) {
    platform().replaceFile = [](const char* source, const char* target) {
        return !replaceRefused() && defaultPlatform().replaceFile(source, target);
    };
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
#ifdef _WIN32
        if (std::string(scenario.name) == "full disk") continue;  // made with /dev/full
#endif
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::istringstream files(scenario.files);
        for (std::string name; files >> name;) {
            if (name == "first") {
                fs::copy_file(QUORRIN_SOURCE_DIR "/puzzles/01_first_steps.dat", file("first.dat"));
            } else if (name == "sav") {
                writeBytes(savePath(), std::string(kSaveHeaderBytes, '\0'));
            } else {
                writeBytes(folder / (name + ".dat"), name == "broken" ? "" : kSmall);
            }
        }
        for (const char* run : scenario.runs) play(run);
    }
}

// The window rectangle kept to a client area of at least 432 x 464 while
// sizing: the dragged edge stops, the opposite edge stays.
TEST(MinimumSize, TheDraggedEdgeStopsTheOppositeStays) {
    const std::int32_t fw = 16, fh = 59;  // a frame with caption and menu
    const std::int32_t w = 432 + fw, h = 464 + fh;
    // edge, rectangle proposed -> kept (left, top, right, bottom).
    const std::int32_t cases[][9] = {
        {SizeLeft, 100, 100, 200, 200, 200 - w, 100, 200, 100 + h},
        {SizeRight, 100, 100, 200, 200, 100, 100, 100 + w, 100 + h},
        {SizeTop, 100, 100, 200, 200, 100, 200 - h, 100 + w, 200},
        {SizeTopLeft, 100, 100, 200, 200, 200 - w, 200 - h, 200, 200},
        {SizeTopRight, 100, 100, 200, 200, 100, 200 - h, 100 + w, 200},
        {SizeBottom, 100, 100, 200, 200, 100, 100, 100 + w, 100 + h},
        {SizeBottomLeft, 100, 100, 200, 200, 200 - w, 100, 200, 100 + h},
        {SizeBottomRight, 100, 100, 200, 200, 100, 100, 100 + w, 100 + h},
        {SizeTopLeft, 100, 100, 900, 900, 100, 100, 900, 900},
        {SizeBottomRight, 0, 0, w, h, 0, 0, w, h},
        {SizeLeft, 0, 0, w - 1, h, -1, 0, w - 1, h},
        {SizeTop, 0, 0, w, h - 1, 0, -1, w, h - 1},
    };
    for (const auto& k : cases) {
        WindowRect r{k[1], k[2], k[3], k[4]};
        keepMinimumSize(k[0], r, fw, fh);
        EXPECT_EQ((std::vector<std::int32_t>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<std::int32_t>{k[5], k[6], k[7], k[8]}))
            << "edge " << k[0] << " from " << k[1] << "," << k[2];
    }
}

}  // namespace
}  // namespace quorrin::test
