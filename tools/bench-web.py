#!/usr/bin/python3
"""Size and speed of the browser build, measured in headless Chromium.

bench-web.py [SITE]   (default build/web/site, built by the web preset)

Prints: the page's files, raw and gzip -9 compressed; the first dialog of
a first start and the first frame after a load from a local static server
(the game resuming a save); the
time from a pointer move (hover) and a click to the game waiting for the
next event with its drawing copied to the canvas, at 1280 x 657 and at
3840 x 2160 device pixels; the same for a resize at 1920 x 1080 and
3840 x 2160 device pixels. The page records the times itself (page.js,
stats.latencies); figures are medians, 95th percentiles and maxima.
"""
import functools
import gzip
import http.server
import os
import random
import shutil
import statistics
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SITE = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, 'build/web/site'))
MOVE, LEFT, RESIZE = 2, 3, 5


def sizes():
    total_raw = total_gz = 0
    print('page files (bytes, raw / gzip -9):')
    for name in sorted(os.listdir(SITE)):
        data = open(os.path.join(SITE, name), 'rb').read()
        gz = len(gzip.compress(data, 9))
        total_raw += len(data)
        total_gz += gz
        print('  %-14s %8d / %8d' % (name, len(data), gz))
    print('  %-14s %8d / %8d  (%.2f MB compressed)' % ('total', total_raw, total_gz, total_gz / 1e6))


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def summary(values):
    values = sorted(values)
    if not values:
        return 'none'
    p95 = values[min(len(values) - 1, int(len(values) * 0.95))]
    return 'median %.2f ms, p95 %.2f ms, max %.2f ms (n=%d)' % (
        statistics.median(values), p95, values[-1], len(values))


def main():
    sizes()
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Quiet, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = 'http://127.0.0.1:%d/index.html' % server.server_address[1]
    o = webdriver.ChromeOptions()
    o.binary_location = '/usr/bin/chromium'
    profile = tempfile.mkdtemp(prefix='quorrin-bench-')
    for a in ['--headless', '--no-sandbox', '--window-size=1280,800', '--user-data-dir=' + profile]:
        o.add_argument(a)
    d = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=o)

    def wait(script):
        for _ in range(400):
            if d.execute_script(script):
                return
            time.sleep(0.025)
        raise RuntimeError('timed out: ' + script)

    try:
        d.get(url)
        wait('return !!document.querySelector(".dialog .line")')
        print('first start (no save): the open-collection dialog %.1f ms after navigation start'
              % d.execute_script('return quorrinTest.stats.firstDialog'))
        ActionChains(d).send_keys(Keys.ENTER).perform()
        wait('return quorrinTest.stats.puts > 0')
        firsts = []
        for _ in range(7):
            d.refresh()
            wait('return quorrinTest.stats.firstFrame > 0')
            firsts.append(d.execute_script('return quorrinTest.stats.firstFrame'))
        print('first frame after a load (save present), ms after navigation start: ' + summary(firsts))

        def pointer_run(label, moves, clicks):
            d.execute_script('quorrinTest.stats.latencies.length = 0')
            rect = d.find_element(By.ID, 'board').rect
            rng = random.Random(1)
            for i in range(moves + clicks):
                ab = ActionBuilder(d, duration=0)
                ab.pointer_action.move_to_location(int(rect['x'] + rng.uniform(0.05, 0.95) * rect['width']),
                                                   int(rect['y'] + rng.uniform(0.1, 0.95) * rect['height']))
                if i >= moves:
                    ab.pointer_action.click()
                ab.perform()
                if d.execute_script('return !!document.querySelector(".dialog")'):
                    ActionChains(d).send_keys(Keys.ESCAPE).perform()
            got = d.execute_script('return quorrinTest.stats.latencies')
            w, h = d.execute_script('const b = document.getElementById("board"); return [b.width, b.height]')
            print('%s at %d x %d device pixels:' % (label, w, h))
            print('  hover: ' + summary([ms for kind, ms in got if kind == MOVE]))
            print('  click: ' + summary([ms for kind, ms in got if kind == LEFT]))

        pointer_run('pointer', 200, 60)

        def metrics(width, height, ratio):
            d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
                'width': width, 'height': height, 'deviceScaleFactor': ratio, 'mobile': False})

        bar = d.execute_script('return document.getElementById("menubar").offsetHeight')
        for ratio, label in ((1, '1920 x 1080'), (2, '3840 x 2160')):
            times = []
            puts = []
            for i in range(12):
                # Back and forth between a smaller size and the measured one.
                metrics(1600, 900, ratio)
                wait('return quorrinTest.pending() === 0')
                d.execute_script('quorrinTest.stats.latencies.length = 0; quorrinTest.stats.putTime = 0')
                metrics(1920, 1080 + bar, ratio)
                wait('const b = document.getElementById("board"); return b.width === %d && quorrinTest.pending() === 0'
                     % (1920 * ratio))
                time.sleep(0.05)
                times += [ms for kind, ms in d.execute_script('return quorrinTest.stats.latencies') if kind == RESIZE]
                puts.append(d.execute_script('return quorrinTest.stats.putTime'))
            w, h = d.execute_script('const b = document.getElementById("board"); return [b.width, b.height]')
            print('resize to %s device pixels (canvas %d x %d): %s' % (label, w, h, summary(times)))
            print('  of which putImageData: ' + summary(puts))
        pointer_run('pointer', 200, 60)
    finally:
        d.quit()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == '__main__':
    main()
