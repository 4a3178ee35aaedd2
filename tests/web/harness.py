# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""A real vantel-server on a free loopback port, and headless chromium.

The server gets a fresh temporary --data folder and is stopped by its
process id. The browser is Debian's chromium driven by chromium-driver,
started with a fresh profile and nothing that reaches outside the machine.
Every page load has the page's WebSocket wrapped so that the test can read
each frame the page received.
"""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

SERVER = os.environ.get("VANTEL_SERVER", "")
CHROMIUM = os.environ.get("VANTEL_CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("VANTEL_CHROMEDRIVER", "/usr/bin/chromedriver")

# Every frame the page's socket receives, in order, for the fairness check;
# and the sockets themselves, so that a test can cut one as a lost network
# would.
RECORD_FRAMES = r"""
(() => {
  const Native = window.WebSocket;
  const frames = [];
  const sockets = [];
  Object.defineProperty(window, "__vantelFrames", { value: frames });
  Object.defineProperty(window, "__vantelSockets", { value: sockets });
  window.WebSocket = class extends Native {
    constructor(...args) {
      super(...args);
      sockets.push(this);
      this.addEventListener("message", (e) => frames.push(String(e.data)));
    }
  };
})();
"""


class Server:
    def __init__(self, extra=()):
        if not SERVER:
            raise RuntimeError("VANTEL_SERVER names no server program")
        self.data = tempfile.mkdtemp(prefix="vantel-web-data-")
        self.log_path = os.path.join(self.data, "server.log")
        self.extra = list(extra)
        self.process = None
        self.port = 0

    def start(self):
        log = open(self.log_path, "ab")
        self.process = subprocess.Popen(
            [SERVER, "--listen", "127.0.0.1", "--port", "0", "--data", os.path.join(self.data, "journal")] + self.extra,
            stdout=log,
            stderr=log,
        )
        log.close()
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                m = re.search(r"port (\d+) \(", f.read())
            if m:
                self.port = int(m.group(1))
                return self
            if self.process.poll() is not None:
                break
            time.sleep(0.05)
        raise RuntimeError("the server did not start:\n" + self.log())

    def url(self, path="/"):
        return f"http://127.0.0.1:{self.port}{path}"

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)
        shutil.rmtree(self.data, ignore_errors=True)


def browser(width, height, reduced_motion=False):
    """Headless chromium at `width`×`height` CSS pixels, its own profile."""
    profile = tempfile.mkdtemp(prefix="vantel-web-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in (
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--disable-quic",
        "--no-first-run",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--disable-dev-shm-usage",
        "--hide-scrollbars",
        "--lang=ja",
        f"--user-data-dir={profile}",
        f"--window-size={width},{height}",
    ):
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver._vantel_profile = profile
    driver.set_page_load_timeout(20)
    driver.set_script_timeout(20)
    # The window's outside size differs from the page's: set the page's.
    driver.execute_cdp_cmd(
        "Emulation.setDeviceMetricsOverride",
        {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 600},
    )
    if reduced_motion:
        driver.execute_cdp_cmd(
            "Emulation.setEmulatedMedia", {"features": [{"name": "prefers-reduced-motion", "value": "reduce"}]}
        )
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": RECORD_FRAMES})
    return driver


def quit_browser(driver):
    try:
        driver.quit()
    finally:
        shutil.rmtree(getattr(driver, "_vantel_profile", ""), ignore_errors=True)


def console_errors(driver):
    """The console's errors and warnings since the last call."""
    return [e for e in driver.get_log("browser") if e.get("level") in ("SEVERE", "WARNING")]


def frames(driver):
    return driver.execute_script("return window.__vantelFrames ? window.__vantelFrames.slice() : [];")


def wait_until(driver, predicate, timeout=15, what="a condition"):
    return WebDriverWait(driver, timeout, poll_frequency=0.05).until(
        lambda d: predicate(d), message=f"no {what} within {timeout} s"
    )


def visible(driver, element_id):
    return driver.execute_script(
        "const e = document.getElementById(arguments[0]);"
        "return !!e && !e.closest('[hidden]') && e.getClientRects().length > 0;",
        element_id,
    )


def by_id(driver, element_id):
    return driver.find_element(By.ID, element_id)
