#!/usr/bin/python3
"""The browser build played in headless Chromium with real input.

e2e.py SITE SESSION OUTDIR

SITE is the built page (build/web/site), SESSION the native scripted session
(build/native/tools/session/session), which plays the same game through the
tests' fake window system and writes the frames the window shows, the save
file and the inputs it gave (inputs.txt). The page is served by a plain
static file server; Chromium plays the session's inputs with the mouse
(and its clock ticks, which the page takes from ?clock=manual) and the
canvas must equal the native frame at every step, at device pixel ratios 1
and 2. Then: the puzzle list shows the clear time, the exported save equals
the native save byte for byte, a reload resumes, a second tab is refused.
Screenshots of the page go to OUTDIR.
"""
import atexit
import base64
import contextlib
import functools
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

SITE, SESSION, OUT = (os.path.abspath(a) for a in sys.argv[1:4])
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
COLLECTION = os.path.join(ROOT, 'puzzles', '01_first_steps.dat')
failures = []
temporary = []


def scratch(prefix):
    """A fresh folder (a browser profile, files to upload), gone at the end."""
    path = tempfile.mkdtemp(prefix=prefix)
    temporary.append(path)
    return path


atexit.register(lambda: [shutil.rmtree(p, ignore_errors=True) for p in temporary])


def check(condition, what):
    print(('ok   ' if condition else 'FAIL ') + what, flush=True)
    if not condition:
        failures.append(what)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve():
    handler = functools.partial(QuietHandler, directory=SITE)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, 'http://127.0.0.1:%d/index.html' % server.server_address[1]


@contextlib.contextmanager
def browser(ratio=1, downloads=None):
    """Chromium on a fresh profile, quit at the end."""
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for a in ['--headless', '--no-sandbox', '--window-size=1280,800',
              '--force-device-scale-factor=%g' % ratio, '--user-data-dir=' + scratch('quorrin-e2e-')]:
        options.add_argument(a)
    d = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    try:
        if downloads:
            d.execute_cdp_cmd('Browser.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': downloads})
        yield d
    finally:
        d.quit()


def wait_for(d, condition, what, timeout=10):
    """Until the script (or the Python callable) condition is true."""
    end = time.time() + timeout
    while time.time() < end:
        if condition() if callable(condition) else d.execute_script(condition):
            return True
        time.sleep(0.05)
    check(False, 'in time: ' + what)
    return False


def idle(d):
    wait_for(d, 'return quorrinTest.pending() === 0', 'the game takes its events')


def board(d):
    return d.find_element(By.ID, 'board')


def pointer(d, x, y, ratio=1, button=None, hold=None):
    """The pointer to client pixel (x, y) of the canvas, then a click; with
    hold, a finger there for hold seconds."""
    rect = board(d).rect
    finger = PointerInput(interaction.POINTER_TOUCH, 'finger') if hold else None
    ab = ActionBuilder(d, mouse=finger, duration=0)
    ab.pointer_action.move_to_location(int(rect['x'] + x / ratio), int(rect['y'] + y / ratio))
    if hold:
        ab.pointer_action.pointer_down().pause(hold).pointer_up()
    elif button == 'left':
        ab.pointer_action.click()
    elif button == 'right':
        ab.pointer_action.context_click()
    ab.perform()


def keys(d, *chord):
    """Keys pressed together (Keys.CONTROL, 'z'), the last one typed."""
    actions = ActionChains(d)
    for key in chord[:-1]:
        actions.key_down(key)
    actions.send_keys(chord[-1])
    for key in reversed(chord[:-1]):
        actions.key_up(key)
    actions.perform()


def screenshot(d, name):
    d.save_screenshot(os.path.join(OUT, name + '.png'))


# The canvas against a PNG, from row `from` down: ['diff', count, first
# differing pixel], or ['size', ...] when the sizes differ.
COMPARE = """
const [png, from, done] = arguments;
const image = new Image();
image.onload = () => {
  const c = document.createElement('canvas');
  c.width = image.width; c.height = image.height;
  const x = c.getContext('2d');
  x.drawImage(image, 0, 0);
  const want = x.getImageData(0, 0, c.width, c.height).data;
  const b = document.getElementById('board');
  if (b.width !== c.width || b.height !== c.height)
    return done(['size', b.width, b.height, c.width, c.height]);
  const got = b.getContext('2d').getImageData(0, 0, b.width, b.height).data;
  let diff = 0, first = -1;
  for (let i = b.width * 4 * from; i < got.length; ++i) if (got[i] !== want[i]) { ++diff; if (first < 0) first = i; }
  done(['diff', diff, first >= 0 ? [(first >> 2) % b.width, Math.floor((first >> 2) / b.width)] : null]);
};
image.onerror = () => done(['error']);
image.src = 'data:image/png;base64,' + png;
"""
SIZE = 'const b = document.getElementById("board"); return [b.width, b.height]'
LIST = 'return !!document.querySelector(".dialog .list .line")'
PLAYING = 'return typeof quorrinTest === "object" && quorrinTest.stats.puts > 0'
NO_DIALOG = 'return !document.querySelector(".dialog")'
NOTICE = 'return !document.getElementById("notice").hidden'


def compare(d, png, from_row=0):
    idle(d)
    return d.execute_async_script(COMPARE, base64.b64encode(read(png)).decode(), from_row)


def same_frame(d, png, what):
    result = compare(d, png)
    check(result == ['diff', 0, None], '%s: canvas equals %s %s' % (what, os.path.basename(png),
                                                                   '' if result[:2] == ['diff', 0] else result))


def canvas(d):
    """The canvas's pixels, as a PNG's data URL."""
    idle(d)
    return d.execute_script('return document.getElementById("board").toDataURL()')


def reload(d, what):
    d.refresh()
    wait_for(d, PLAYING, 'the board after a reload: ' + what)
    idle(d)


def menu(d, command):
    d.find_element(By.ID, 'menu-game').click()
    d.find_element(By.CSS_SELECTOR, '#menu-items [data-command="%s"]' % command).click()


def dialog_lines(d, what):
    """The lines of the dialog's list, once there are some."""
    wait_for(d, LIST, what)
    return d.find_elements(By.CSS_SELECTOR, '.dialog .list .line')


def selected_line(d):
    wait_for(d, 'return !!document.querySelector(".dialog .list .line.selected")', 'a selected line')
    return d.find_element(By.CSS_SELECTOR, '.dialog .list .line.selected').text


def close(d, key, what):
    """A key that closes the dialog or box on top."""
    ActionChains(d).send_keys(key).perform()
    wait_for(d, NO_DIALOG, what)


def read(path):
    """The file's bytes; none when it is missing."""
    return open(path, 'rb').read() if os.path.exists(path) else b''


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)
    return path


def read_inputs(native):
    with open(os.path.join(native, 'inputs.txt')) as f:
        return [line.split() for line in f]


def trial_x(native):
    """The x of the trial button the session clicked, in the toolbar's row."""
    return next(int(s[1]) for s in read_inputs(native) if s[0] == 'left' and s[2] == '16')


def run_session(folder, width, height, *ratio):
    subprocess.run([SESSION, folder, COLLECTION, '%dx%d' % (width, height), *ratio],
                   check=True, stdout=subprocess.DEVNULL)


def first_start(d, query='?clock=manual'):
    """A fresh profile's page: the open-collection dialog, Enter on the first
    collection, the board."""
    d.get(URL + query)
    wait_for(d, LIST, 'the open-collection dialog')
    ActionChains(d).send_keys(Keys.ENTER).perform()
    wait_for(d, 'return !document.getElementById("board").hidden', 'the board after Enter')


def play(d, ratio, downloads):
    """The session at this pixel ratio; returns the native session's folder."""
    tag = 'ratio%d' % ratio
    d.get(URL + '?clock=manual')
    # First start: no save, the open-collection dialog; the first line
    # clicked, then OK.
    # (The shipped collections listed in byte order: extras.)
    lines = dialog_lines(d, 'the open-collection dialog')
    screenshot(d, tag + '-1-open-collection')
    lines[0].click()
    d.find_element(By.CSS_SELECTOR, '.dialog [data-control="1"]').click()
    wait_for(d, NO_DIALOG + ' && !document.getElementById("board").hidden', 'the board after OK')
    idle(d)
    native = os.path.join(OUT, tag + '-native')
    run_session(native, *d.execute_script(SIZE), str(ratio))
    shots = [os.path.join(native, f) for f in sorted(os.listdir(native)) if f.endswith('.png')]
    shot = 0
    for step in read_inputs(native):
        if step[0] == 'tick':
            d.execute_script('quorrinTest.tick()')
        elif step[0] in ('move', 'left', 'right'):
            pointer(d, int(step[1]), int(step[2]), ratio, None if step[0] == 'move' else step[0])
        elif step[0] == 'shot':
            same_frame(d, shots[shot], tag + ' ' + step[1])
            if shot == 1:
                # The comparison sees a difference: not the first frame any more.
                check(compare(d, shots[0])[1] > 0, tag + ': the canvas differs from the first frame after a line and a cross')
            screenshot(d, '%s-2-%s' % (tag, step[1]))
            shot += 1
        elif step[0] == 'exit':
            # The save as it is now, which the native game wrote on its way out.
            menu(d, '901')
            target = os.path.join(downloads, 'quorrin.sav')
            wait_for(d, lambda: os.path.exists(target), 'the exported save', 5)
            want, got = read(os.path.join(native, 'quorrin.sav')), read(target)
            check(got == want, '%s: the exported save equals the native save (%d / %d bytes)'
                  % (tag, len(got), len(want)))
    check(shot == len(shots) == 6, tag + ': all six frames compared')

    # The puzzle list from the first toolbar button (two buttons left of
    # the trial button the session clicked): the solved first puzzle
    # with its clear time, 7 + 20 ticks; Esc closes it.
    pointer(d, trial_x(native) - 180, 16, ratio, 'left')
    first_line = dialog_lines(d, 'the puzzle list')[0].text
    title = d.find_element(By.CSS_SELECTOR, '.dialog [data-control="123"]').text
    check('クリア時間 00:27' in first_line and '難易度' in first_line and title == '01_first_steps',
          tag + ': the puzzle list names the collection, shows the clear time (%r, %r)' % (title, first_line))
    screenshot(d, tag + '-2-puzzle-list')
    close(d, Keys.ESCAPE, 'Esc closes the dialog')
    # A second tab of the same page writes nothing and says why.
    first = d.current_window_handle
    d.switch_to.new_window('tab')
    d.get(URL)
    wait_for(d, NOTICE, 'the second tab notice')
    check('別のタブ' in d.find_element(By.ID, 'notice').text, tag + ': a second tab is told the game is open elsewhere')
    screenshot(d, tag + '-3-second-tab')
    # The first tab goes elsewhere: the second one starts the game.
    second = d.current_window_handle
    d.switch_to.window(first)
    d.get('about:blank')
    d.switch_to.window(second)
    wait_for(d, PLAYING + ' && document.getElementById("notice").hidden',
             tag + ': the second tab plays once the first has gone')
    d.close()
    d.switch_to.window(first)
    d.get(URL + '?clock=manual')
    wait_for(d, PLAYING, 'the game back in the first tab')
    return native


def menu_keys_and_exit(d, ratio):
    """The menu with the keyboard: Alt+G, then A for the version box, Enter
    closes it; a double-click in the collection list opens that collection;
    終了 ends the game, which a reload resumes."""
    tag = 'ratio%d' % ratio
    keys(d, Keys.ALT, 'g')
    wait_for(d, 'return !document.getElementById("menu-items").hidden', 'Alt+G opens the menu')
    screenshot(d, tag + '-4-menu')
    keys(d, 'a')
    wait_for(d, 'return !!document.querySelector(".dialog .about")', 'A: the version box')
    screenshot(d, tag + '-5-about')
    close(d, Keys.ENTER, 'Enter closes the version box')
    menu(d, '120')
    ActionChains(d).double_click(dialog_lines(d, 'the open-collection dialog')[2]).perform()
    wait_for(d, NO_DIALOG, 'a double-click opens the collection')
    menu(d, '120')
    check(selected_line(d) == '03_getting_serious', tag + ': the double-clicked collection is in play')
    close(d, Keys.ESCAPE, 'Esc closes the dialog')
    pointer(d, 2, board(d).rect['height'] * ratio - 2, ratio)
    before = canvas(d)
    menu(d, '114')
    wait_for(d, NOTICE, 'the end of the game')
    check(d.find_element(By.ID, 'menu-game').get_attribute('disabled') is not None,
          tag + ': after 終了 the menu is off')
    reload(d, 'after 終了')
    check(canvas(d) == before, tag + ': after 終了 a reload resumes the same board')


def extras(d, native):
    """Touch, a reload right after marks, the player's own collections, keys in
    the dialogs, and importing saves, at ratio 1."""
    tag = 'extras'
    first_start(d)
    inputs = read_inputs(native)
    line_at = next(s[1:] for s in inputs if s[0] == 'left')
    cross_at = next(s[1:] for s in inputs if s[0] == 'right')
    for _ in range(7):
        d.execute_script('quorrinTest.tick()')
    # A tap draws the line, a long press puts the cross: the frame of the
    # session's line and cross.
    pointer(d, int(line_at[0]), int(line_at[1]), hold=0.05)
    pointer(d, int(cross_at[0]), int(cross_at[1]), hold=0.8)
    same_frame(d, os.path.join(native, '02-line-and-cross.png'), tag + ': tap and long press')
    screenshot(d, tag + '-1-touch')

    # A reload at once: the save written as the page closed brings the
    # marks back (the pointer off the board first, so nothing is hovered).
    pointer(d, 2, board(d).rect['height'] - 2)
    before = canvas(d)
    reload(d, 'right after marks')
    check(canvas(d) == before, tag + ': a reload right after marks shows them again')

    # The player's own collection: listed with the shipped ones under its
    # Japanese name; a name Shift_JIS cannot write is not taken.
    folder = scratch('quorrin-dat-')
    puzzles = b''.join(read(COLLECTION).splitlines(keepends=True)[:3])
    mine, other = (write(os.path.join(folder, name), puzzles) for name in ('自作問題.dat', 'Zoë.dat'))
    d.find_element(By.ID, 'add-file').send_keys(mine + '\n' + other)
    names = [l.text for l in dialog_lines(d, 'the open-collection dialog')]
    check('自作問題' in names and not any('Zo' in n for n in names) and len(names) == 9,
          tag + ': the added collection is listed with the shipped ones (%s)' % names)
    screenshot(d, tag + '-2-own-collection')
    # Keys: End selects the last line (the player's, after the shipped
    # ones in byte order), Enter opens it.
    d.find_element(By.CSS_SELECTOR, '.dialog .list').send_keys(Keys.END)
    close(d, Keys.ENTER, 'Enter closes the dialog')
    menu(d, '120')
    check(selected_line(d) == '自作問題', tag + ': the own collection is the one in play')
    d.find_element(By.CSS_SELECTOR, '.dialog .list').send_keys(Keys.HOME, Keys.ARROW_DOWN)
    check(selected_line(d) == '02_warming_up', tag + ': arrows move the selection')
    close(d, Keys.ESCAPE, 'Esc closes the dialog')
    # A file dropped onto the page is added the same way.
    d.execute_script("""
        const data = new DataTransfer();
        data.items.add(new File([arguments[0]], 'ドロップ.dat'));
        document.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}));""",
                     puzzles.decode('ascii'))
    check('ドロップ' in [l.text for l in dialog_lines(d, 'the dialog after a drop')],
          tag + ': a dropped collection is listed')
    close(d, Keys.ESCAPE, 'Esc closes the dialog')
    reload(d, 'after the drop')
    menu(d, '120')
    names = [l.text for l in dialog_lines(d, 'the dialog after a reload')]
    check('自作問題' in names and 'ドロップ' in names, tag + ': the own collections are kept across a reload')
    ActionChains(d).send_keys(Keys.ESCAPE).perform()

    # A damaged save imported: the game treats it as a damaged save file
    # it found, and asks for a collection.
    damaged = write(os.path.join(folder, 'damaged.sav'), b'\x07not a save file at all')
    d.find_element(By.ID, 'import-file').send_keys(damaged)
    dialog_lines(d, 'the dialog after a damaged import')
    check(d.find_element(By.CSS_SELECTOR, '.dialog .caption').text == '問題を開く',
          tag + ': a damaged save asks for a collection')
    # The native game's save imported: the game goes on where the native
    # session left it.
    d.find_element(By.ID, 'import-file').send_keys(os.path.join(native, 'quorrin.sav'))
    wait_for(d, NO_DIALOG + ' && quorrinTest.stats.puts > 0', 'the board after importing the native save')
    same_frame(d, os.path.join(native, '06-next-puzzle.png'), tag + ': the imported native save')


def key_play(d):
    """The game by keys: an arrow lights an edge, Space marks it, Ctrl+Z
    takes it back and Ctrl+Shift+Z brings it again; the menu's 元に戻す and
    やり直し are greyed when they would do nothing."""
    first_start(d)
    items = 'return ["124", "125"].map(c => document.querySelector(`#menu-items [data-command="${c}"]`).disabled)'
    keys(d, Keys.ARROW_RIGHT)
    lit = canvas(d)
    for what, chord, marked, greyed in [('Space marks the lit edge', [Keys.SPACE], True, [False, True]),
                                        ('Ctrl+Z takes it back', [Keys.CONTROL, 'z'], False, [True, False]),
                                        ('Ctrl+Shift+Z brings it again', [Keys.CONTROL, Keys.SHIFT, 'z'], True,
                                         [False, True])]:
        keys(d, *chord)
        now = canvas(d)
        check((now != lit) == marked and d.execute_script(items) == greyed,
              'keys: %s, the menu\'s items greyed %s' % (what, greyed))
    d.find_element(By.ID, 'menu-game').click()
    screenshot(d, 'keys-1-menu')
    ActionChains(d).send_keys(Keys.ESCAPE).perform()


def window_and_clock(d, native):
    """The real clock, also while a box is open; the restart question in
    Japanese; the canvas following the window's size, down to the game's
    minimum, equal to the native frame at the new size."""
    tag = 'window'
    first_start(d, '')
    # 最初から: the question, its text from the game's Shift_JIS; the clock
    # goes on meanwhile (the canvas changes under the box); Esc cancels.
    pointer(d, trial_x(native) - 90, 16, 1, 'left')
    wait_for(d, 'return !!document.querySelector(".dialog.message")', 'the restart question')
    box = d.find_element(By.CSS_SELECTOR, '.dialog.message')
    check(box.find_element(By.CSS_SELECTOR, '.caption').text == '確認' and
          box.find_element(By.CSS_SELECTOR, '.text').text == '最初から始めます。よろしいですか?',
          tag + ': the restart question in Japanese')
    screenshot(d, tag + '-1-question')
    before = canvas(d)
    time.sleep(2.2)
    check(canvas(d) != before, tag + ': the clock runs while the question is open')
    close(d, Keys.ESCAPE, 'Esc closes the question')

    # A smaller window: the canvas follows; the native game at that client
    # size shows the same start frame (the clock stopped for the compare).
    d.get(URL + '?clock=manual')
    wait_for(d, PLAYING, 'the board, manual clock')
    d.set_window_size(1000, 700)
    wait_for(d, 'return document.getElementById("board").width < 1280', 'the canvas to follow the window')
    idle(d)
    width, height = d.execute_script(SIZE)
    resized = os.path.join(OUT, tag + '-native')
    run_session(resized, width, height)
    # The game resumed the save written when the first page closed, with
    # the seconds it had; the native start is at 0:00. Compare the board
    # only: the toolbar row and the clock lie in the top 32 pixels.
    result = compare(d, os.path.join(resized, '01-start.png'), 32)
    check(result[:2] == ['diff', 0], tag + ': after a resize to %dx%d the board equals the native one %s'
          % (width, height, result))
    # Another pixel ratio (a move to another screen, a zoom): the canvas
    # is laid out anew at device pixels and keeps its size on the page.
    d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                      {'width': 800, 'height': 600, 'deviceScaleFactor': 2, 'mobile': False})
    wait_for(d, 'return document.getElementById("board").width === 1600', 'the canvas at ratio 2')
    idle(d)
    laid = d.execute_script('const b = document.getElementById("board"); const r = b.getBoundingClientRect();'
                            ' return [b.width, b.height, r.width, r.height, innerHeight - r.top]')
    check(laid[:3] == [1600, laid[1], 800] and laid[3] * 2 == laid[1] and laid[3] == laid[4],
          tag + ': at ratio 2 the canvas has twice the pixels in the same place %s' % laid)
    d.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})
    # Smaller than the game's minimum: the canvas stays 432 x 464 and the
    # page scrolls.
    d.set_window_size(300, 300)
    wait_for(d, 'return document.getElementById("board").width === 432', 'the minimum width')
    size = d.execute_script('const b = document.getElementById("board"); const s = document.scrollingElement;'
                            ' return [b.width, b.height, s.scrollWidth > s.clientWidth, s.scrollHeight > s.clientHeight]')
    check(size == [432, 464, True, True], tag + ': below the minimum the page scrolls %s' % size)
    screenshot(d, tag + '-2-minimum')


def main():
    global URL
    os.makedirs(OUT, exist_ok=True)
    server, URL = serve()
    try:
        natives = {}
        for ratio in (1, 2):
            downloads = os.path.join(OUT, 'ratio%d-downloads' % ratio)
            shutil.rmtree(downloads, ignore_errors=True)
            os.makedirs(downloads)
            with browser(ratio, downloads) as d:
                natives[ratio] = play(d, ratio, downloads)
                menu_keys_and_exit(d, ratio)
        for scenario, args in [(extras, [natives[1]]), (window_and_clock, [natives[1]]), (key_play, [])]:
            with browser() as d:
                scenario(d, *args)
    finally:
        server.shutdown()
    print('%d failure(s)' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
