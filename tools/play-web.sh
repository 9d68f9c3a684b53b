#!/usr/bin/env bash
# Builds quorrin for the browser and serves it on localhost.
#
# Builds the web preset (build/web/site: index.html, style.css, page*.js,
# quorrin.js, quorrin.wasm, quorrin.data) and serves that folder with a
# plain static file server on 127.0.0.1:${QUORRIN_PORT:-8000}; the address
# is printed. Any static host serves the same folder as it is.
#
# With a display ($DISPLAY set) the server runs in the foreground until
# Ctrl+C; open the address in a browser. Without a display the script opens
# the page in headless Chromium with a fresh profile, plays a short scripted
# first run (the open-collection dialog, OK, lines and a cross on the board,
# the puzzle list, the menu, the version box) at desktop size and on a
# phone-sized screen at three times the pixel density, saves screenshots in
# build/play-web-screenshots/ and stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
port="${QUORRIN_PORT:-8000}"

cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)"
site="$root/build/web/site"

python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
sleep 0.5
url="http://127.0.0.1:$port/index.html"
echo "play-web: serving $site at $url"

if [ -n "${DISPLAY:-}" ]; then
    echo "play-web: open $url in a browser; Ctrl+C stops the server"
    wait "$server"
    exit 0
fi

shots="$root/build/play-web-screenshots"
rm -rf "$shots"
mkdir -p "$shots"
/usr/bin/python3 - "$url" "$shots" <<'PY'
import os, shutil, sys, tempfile, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

url, shots = sys.argv[1], sys.argv[2]
first = [l for l in open('puzzles/01_first_steps.dat', encoding='ascii')][0].split('/')
bw, bh = int(first[1]), int(first[2])


def run(name, size, ratio, phone=False):
    profile = tempfile.mkdtemp(prefix='quorrin-play-')
    o = webdriver.ChromeOptions()
    o.binary_location = '/usr/bin/chromium'
    for a in ['--headless', '--no-sandbox', '--window-size=' + size,
              '--force-device-scale-factor=%g' % (1 if phone else ratio),
              '--user-data-dir=' + profile]:
        o.add_argument(a)
    d = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=o)
    if phone:
        # A phone's screen: 390 x 844 CSS pixels at three device pixels each.
        d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': 390, 'height': 844, 'deviceScaleFactor': 3, 'mobile': True})

    def shot(step):
        time.sleep(0.3)
        path = os.path.join(shots, '%s-%s.png' % (name, step))
        d.save_screenshot(path)
        print('  ' + path)

    def wait(script):
        for _ in range(100):
            if d.execute_script(script):
                return
            time.sleep(0.05)

    try:
        d.get(url)
        wait('return !!document.querySelector(".dialog .line")')
        shot('1-open-collection')
        ActionChains(d).send_keys(Keys.ENTER).perform()
        wait('return !document.getElementById("board").hidden')
        shot('2-board')
        # The board's layout, as the screen computes it for the client size.
        w, h = d.execute_script('const b = document.getElementById("board"); return [b.width, b.height]')
        a = min(w // (bw + 1), (h - 32) // (bh + 1))
        e = int(a * 96.5 / 93 + 0.5)
        m = int(a * 14.5 / 93 + 0.5)
        ox = (w - bw * a - 2 * (e - a)) // 2
        oy = (h - 32 - bh * a - 2 * (e - a)) // 2 + 32
        rect = d.find_element(By.ID, 'board').rect

        def edge(kind, r, c, right=False):
            near, far = a // 4, 3 * a // 4
            if kind == 'v':
                near, far = far, near
            ab = ActionBuilder(d, duration=0)
            ab.pointer_action.move_to_location(int(rect['x'] + (ox - m + c * a + far) / ratio),
                                               int(rect['y'] + (oy - m + r * a + near) / ratio))
            ab.pointer_action.context_click() if right else ab.pointer_action.click()
            ab.perform()

        for step in [('h', 0, 0), ('h', 0, 1), ('v', 0, 0), ('v', 1, 0)]:
            edge(*step)
        edge('h', 0, 2, right=True)
        shot('3-board-marked')
        d.find_element(By.ID, 'menu-game').click()
        shot('4-menu')
        d.find_element(By.CSS_SELECTOR, '#menu-items [data-command="115"]').click()
        wait('return !!document.querySelector(".dialog .about")')
        shot('5-about')
        ActionChains(d).send_keys(Keys.ENTER).perform()
        d.find_element(By.ID, 'menu-game').click()
        d.find_element(By.CSS_SELECTOR, '#menu-items [data-command="120"]').click()
        wait('return !!document.querySelector(".dialog .line")')
        shot('6-open-collection-again')
        ActionChains(d).send_keys(Keys.ESCAPE).perform()
    finally:
        d.quit()
        shutil.rmtree(profile, ignore_errors=True)


print('play-web: screenshots')
run('desktop', '1280,800', 1)
run('phone', '390,844', 3, phone=True)
PY
echo "play-web: screenshots in $shots"
