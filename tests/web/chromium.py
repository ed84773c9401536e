"""Headless Chromium driven over the DevTools protocol with Python's standard library alone.

Chromium is started with --remote-debugging-pipe: it reads commands from its descriptor 3
and writes answers and events to its descriptor 4, as JSON messages each ended by a NUL
byte, so no websocket is needed. One BROWSER holds one page (a tab) at a time. Every wait
has a limit, and the browser is always ended, with its temporary profile removed.
"""
import base64
import json
import os
import queue
import shutil
import subprocess
import tempfile
import threading
import time

# Without the networking flags Chromium tries its own connections (updates, sync, field
# trials), which this machine's closed network refuses; a page under test asks for nothing.
FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-dev-shm-usage", "--remote-debugging-pipe",
]


class BrowserError(Exception):
    pass


class Browser:
    def __init__(self, chromium):
        self.profile = tempfile.mkdtemp(prefix="forth-chromium-")
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        # The shell puts the two pipe ends on 3 and 4, where Chromium looks for them.
        command = f'exec "$0" "$@" 3<&{to_browser_r} 4>&{from_browser_w}'
        self.process = subprocess.Popen(
            ["sh", "-c", command, chromium, *FLAGS, f"--user-data-dir={self.profile}", "about:blank"],
            pass_fds=(to_browser_r, from_browser_w), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.next_id = 0
        self.answers = {}
        self.events = queue.Queue()
        self.lock = threading.Condition()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        self.session = None
        self.console = []      # the page's console messages and uncaught exceptions
        self.requests = []     # every URL the page asked for

    def _read(self):
        buffered = b""
        while True:
            data = os.read(self.from_browser, 65536)
            if not data:
                break
            buffered += data
            *messages, buffered = buffered.split(b"\0")
            for raw in messages:
                message = json.loads(raw)
                with self.lock:
                    if "id" in message:
                        self.answers[message["id"]] = message
                        self.lock.notify_all()
                    else:
                        self.events.put(message)
        with self.lock:
            self.answers[None] = "closed"
            self.lock.notify_all()

    def send(self, method, params=None, session=True, timeout=30):
        """Sends a command (to the page, unless session is False) and returns its result."""
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        with self.lock:
            while self.next_id not in self.answers:
                left = deadline - time.monotonic()
                if None in self.answers or left <= 0:
                    raise BrowserError(f"no answer to {method} within {timeout} s")
                self.lock.wait(left)
            answer = self.answers.pop(self.next_id)
        if "error" in answer:
            raise BrowserError(f"{method}: {answer['error']}")
        return answer.get("result", {})

    def _take_events(self):
        while True:
            try:
                event = self.events.get_nowait()
            except queue.Empty:
                return
            method, params = event.get("method"), event.get("params", {})
            if method == "Runtime.consoleAPICalled":
                self.console.append(" ".join(str(a.get("value", a.get("description", ""))) for a in params["args"]))
            elif method == "Runtime.exceptionThrown":
                self.console.append("exception: " + params["exceptionDetails"].get("exception", {}).get("description", ""))
            elif method == "Network.requestWillBeSent":
                self.requests.append(params["request"]["url"])

    def open(self, url, width=1000, height=800, dark=False):
        """A new tab at url, the old one closed; waits for the page's load event."""
        if self.session:
            self.send("Target.closeTarget", {"targetId": self.target}, session=False)
        self.target = self.send("Target.createTarget", {"url": "about:blank"}, session=False)["targetId"]
        self.session = self.send("Target.attachToTarget", {"targetId": self.target, "flatten": True},
                                 session=False)["sessionId"]
        self.console, self.requests = [], []
        for domain in ("Page", "Runtime", "Network"):
            self.send(f"{domain}.enable")
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 600})
        self.send("Emulation.setEmulatedMedia",
                  {"features": [{"name": "prefers-color-scheme", "value": "dark" if dark else "light"}]})
        self.send("Page.navigate", {"url": url})
        self.wait_for("document.readyState === 'complete'", timeout=30)

    def evaluate(self, expression, timeout=30):
        """The value of a JavaScript expression in the page (a promise is awaited)."""
        result = self.send("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True}, timeout=timeout)
        self._take_events()
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            raise BrowserError(details.get("exception", {}).get("description", details.get("text")))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=10):
        """Waits until the expression is true in the page; returns the seconds it took."""
        start = time.monotonic()
        while not self.evaluate(expression):
            if time.monotonic() - start > timeout:
                raise BrowserError(f"still not true after {timeout} s: {expression}")
            time.sleep(0.02)
        return time.monotonic() - start

    def press(self, key, code=None, key_code=0, text="", modifiers=0):
        """One key pressed and released, as the keyboard sends it."""
        common = {"key": key, "code": code or key, "windowsVirtualKeyCode": key_code,
                  "modifiers": modifiers}
        self.send("Input.dispatchKeyEvent", {"type": "keyDown" if text else "rawKeyDown", "text": text, **common})
        self.send("Input.dispatchKeyEvent", {"type": "keyUp", **common})

    def type_text(self, text):
        self.send("Input.insertText", {"text": text})

    def screenshot(self, path):
        data = self.send("Page.captureScreenshot", {"format": "png", "captureBeyondViewport": True})["data"]
        with open(path, "wb") as file:
            file.write(base64.b64decode(data))

    def close(self):
        try:
            self.send("Browser.close", session=False, timeout=5)
        except (BrowserError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(self.process.pid, 9)
            self.process.wait()
        os.close(self.to_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
