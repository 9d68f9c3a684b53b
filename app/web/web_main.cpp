// The browser program's entry: the page's file system as the game's folder,
// the resource bitmaps from it, the one GameApp with the page's window
// system, and the run. The page (page.js) starts it once the page holds the
// lock of the game and the stored files are in place.
//
// Every call into the page is a small JavaScript function below; the page's
// side of each lives in page.js as a method of Module.page.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "app/web/file_names.h"
#include "app/web/web_window_system.h"
#include "screen/bitmap.h"

namespace {

// The event queue: a sync look first; only an empty queue suspends the
// game's stack until the page has an event.
EM_JS(int, page_poll_event, (std::int32_t * out), { return Module.page.poll(HEAP32, out); });
EM_ASYNC_JS(int, page_wait_event, (std::int32_t * out), {
    await Module.page.waitForEvent();
    return Module.page.poll(HEAP32, out);
});

EM_JS(void, page_size_canvas, (int width, int height), { Module.page.sizeCanvas(width, height); });
EM_JS(void, page_client_size, (std::int32_t * out), { Module.page.clientSize(HEAP32, out); });
EM_JS(void, page_put_pixels, (const std::uint8_t* rgba, int x, int y, int width, int height),
      { Module.page.putPixels(HEAPU8, rgba, x, y, width, height); });
EM_JS(void, page_start_timer, (int milliseconds), { Module.page.startTimer(milliseconds); });
EM_JS(void, page_stop_timer, (), { Module.page.stopTimer(); });
EM_JS(void, page_open_message_box,
      (const char* text, int textLength, const char* caption, int captionLength, int withCancel), {
          Module.page.openMessageBox(
              Module.page.sjis(HEAPU8.subarray(text, text + textLength)),
              Module.page.sjis(HEAPU8.subarray(caption, caption + captionLength)), withCancel != 0);
      });
EM_JS(void, page_close_message_box, (), { Module.page.closeMessageBox(); });
EM_JS(void, page_open_dialog, (int id), { Module.page.openDialog(id); });
EM_JS(void, page_close_dialog, (), { Module.page.closeDialog(); });
EM_JS(void, page_set_control_text, (int control, const char* text, int length), {
    Module.page.setControlText(control, Module.page.sjis(HEAPU8.subarray(text, text + length)));
});
EM_JS(void, page_list_begin, (int list, const int* stops, int count), {
    Module.page.listBegin(list, Array.from(HEAP32.subarray(stops >> 2, (stops >> 2) + count)));
});
EM_JS(void, page_list_line, (const char* text, int length),
      { Module.page.listLine(Module.page.sjis(HEAPU8.subarray(text, text + length))); });
EM_JS(void, page_list_end, (), { Module.page.listEnd(); });
EM_JS(void, page_select_line, (int list, int index), { Module.page.selectLine(list, index); });
EM_JS(void, page_show_main_window, (int shown), { Module.page.showMainWindow(shown != 0); });
EM_JS(void, page_export_save, (const char* path), { Module.page.exportSave(UTF8ToString(path)); });
EM_JS(void, page_enable_undo, (int undo, int redo),
      { Module.page.enableUndo(undo != 0, redo != 0); });
EM_JS(void, page_file_written, (const char* path),
      { Module.page.fileWritten(UTF8ToString(path)); });

int length(const std::string& text) {
    return static_cast<int>(text.size());
}

class EmscriptenPage : public quorrin::web::PageBridge {
  public:
    quorrin::web::PageEvent nextEvent() override {
        std::int32_t fields[4] = {};
        int kind = page_poll_event(fields);
        if (kind == 0) kind = page_wait_event(fields);
        return quorrin::web::PageEvent{kind, fields[0], fields[1], fields[2]};
    }
    void sizeCanvas(std::int32_t width, std::int32_t height) override {
        page_size_canvas(width, height);
    }
    void clientSize(std::int32_t& width, std::int32_t& height) override {
        std::int32_t size[2] = {};
        page_client_size(size);
        width = size[0];
        height = size[1];
    }
    void putPixels(const std::uint8_t* rgba, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height) override {
        page_put_pixels(rgba, x, y, width, height);
    }
    void startTimer(int milliseconds) override { page_start_timer(milliseconds); }
    void stopTimer() override { page_stop_timer(); }
    void openMessageBox(const std::string& text, const std::string& caption,
                        bool withCancel) override {
        page_open_message_box(text.data(), length(text), caption.data(), length(caption),
                              withCancel ? 1 : 0);
    }
    void closeMessageBox() override { page_close_message_box(); }
    void openDialog(int dialogId) override { page_open_dialog(dialogId); }
    void closeDialog() override { page_close_dialog(); }
    void setControlText(int control, const std::string& text) override {
        page_set_control_text(control, text.data(), length(text));
    }
    void setListLines(int list, const std::vector<std::string>& lines, const int* tabStops,
                      int tabStopCount) override {
        page_list_begin(list, tabStops, tabStopCount);
        for (const std::string& line : lines) page_list_line(line.data(), length(line));
        page_list_end();
    }
    void selectListLine(int list, int index) override { page_select_line(list, index); }
    void showMainWindow(bool shown) override { page_show_main_window(shown ? 1 : 0); }
    void enableUndo(bool undo, bool redo) override { page_enable_undo(undo ? 1 : 0, redo ? 1 : 0); }
    void exportSave(const std::string& path) override {
        page_export_save(quorrin::web::storedPath(path).c_str());
    }
};

void fileWritten(const char* path) {
    page_file_written(quorrin::web::storedPath(path).c_str());
}

}  // namespace

int main() {
    using namespace quorrin;
    // The page puts the collections and the stored save file into /game/,
    // the bitmaps of the program's resources into /res/.
    platform() = web::pagePlatform("/game/", fileWritten);

    EmscriptenPage page;
    web::WebWindowSystem windows(page);
    const std::unique_ptr<GameApp> app = std::make_unique<GameApp>(windows);
    app->screen.bitmapLoader = folderBitmapLoader("/res");
    windows.setApp(app.get());
    windows.setSavePath("/game/quorrin.sav");
    const int code = app->run();
    windows.setApp(nullptr);
    // The page says the game has ended (as after a closed window).
    page_show_main_window(0);
    return code;
}
