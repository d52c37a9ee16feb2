"""Running Windows programs under Wine from the tests, and trees on disk.

The Wine environment itself (prefix, display, wineserver) comes from the
CTest fixture (tests/wine/wine_fixture.sh, whose state folder CTest names in
SCRIVLET_WINE_ENV) or from scripts/with_wine.sh; these helpers only run
programs inside it. A wine
command's output always goes to files, never to a pipe: the wineserver and
its helper processes may inherit a pipe and keep it open, and the reader then
waits forever. Every run has a time limit.
"""

import os
import shutil
import subprocess
import tempfile

# Under a persistent wineserver a program starts in well under a second;
# these limits only stop a run that hangs.
RUN_TIMEOUT = 30
BOX_TIMEOUT = 20

BEEP_CALL = "Call user32.MessageBeep(ffffffff)"


class run_result_t:
    def __init__(self, returncode, stdout, stderr):
        self.returncode = returncode  # 124 when the time limit ended it
        self.stdout = stdout
        self.stderr = stderr

    def beeps(self):
        """Simple beeps seen in a run with debug="+relay"."""
        return self.stderr.decode("utf-8", "replace").count(BEEP_CALL)

    def describe(self):
        return "exit %d\nstdout:\n%s\nstderr (last lines):\n%s" % (
            self.returncode,
            self.stdout.decode("cp932", "replace"),
            "\n".join(self.stderr.decode("utf-8", "replace").splitlines()[-20:]),
        )


def fixture_environment(state_dir):
    """The variables the Wine fixture recorded in state_dir, or None when it
    recorded none or its display is gone."""
    values = {}
    try:
        with open(os.path.join(state_dir, "env"), encoding="utf-8") as f:
            for line in f:
                key, sep, value = line.rstrip("\n").partition("=")
                if sep:
                    values[key] = value
    except OSError:
        return None
    try:
        os.kill(int(values.get("WINE_ENV_XVFB_PID", "")), 0)
    except (ValueError, OSError):
        return None
    return values


def require_wine_environment():
    """Takes the Wine fixture's environment into this process (when CTest
    named one), and fails early, with the fix, when there is none."""
    state_dir = os.environ.get("SCRIVLET_WINE_ENV")
    if state_dir:
        values = fixture_environment(state_dir)
        if values is None:
            raise SystemExit(
                "the Wine environment in %s is not up: run the test through CTest, which starts it"
                " (fixture wine_env_start)" % state_dir
            )
        os.environ.update(values)
    missing = [name for name in ("WINEPREFIX", "DISPLAY") if not os.environ.get(name)]
    if missing:
        raise SystemExit(
            "not inside the Wine test environment (%s unset): run through ctest or scripts/with_wine.sh"
            % ", ".join(missing)
        )


def _command(args, timeout):
    return ["timeout", "-k", "5", str(timeout), "wine"] + [str(a) for a in args]


def _environment(debug):
    env = dict(os.environ)
    # "+relay" logs just the calls listed under RelayInclude in the prefix's
    # registry (the beep), so it costs little; "+debugstr" shows the
    # program's OutputDebugStringA lines.
    env["WINEDEBUG"] = "-all," + debug if debug else "-all"
    return env


class started_t:
    """A Windows program started in the background, output going to files."""

    def __init__(self, args, timeout, cwd=None, debug=""):
        self._dir = tempfile.mkdtemp(prefix="wine-run-")
        # Never the test's own folder, which CTest puts in the build tree.
        if cwd is None:
            cwd = self._dir
        self._out = open(os.path.join(self._dir, "stdout"), "w+b")
        self._err = open(os.path.join(self._dir, "stderr"), "w+b")
        self._process = subprocess.Popen(
            _command(args, timeout),
            stdin=subprocess.DEVNULL,
            stdout=self._out,
            stderr=self._err,
            cwd=cwd,
            env=_environment(debug),
        )
        self._timeout = timeout

    def wait(self):
        # `timeout` ends the program; this limit is only a second line of defence.
        try:
            returncode = self._process.wait(max(RUN_TIMEOUT * 3, float(self._timeout) + 15))
        except subprocess.TimeoutExpired:
            self._process.kill()
            returncode = self._process.wait()
        self._out.seek(0)
        self._err.seek(0)
        result = run_result_t(returncode, self._out.read(), self._err.read())
        self._out.close()
        self._err.close()
        shutil.rmtree(self._dir, ignore_errors=True)
        return result


def run_wine(args, timeout=RUN_TIMEOUT, cwd=None, debug=""):
    """Runs one Windows program to its end; a run_result_t. debug: Wine
    debug channels to turn on, such as "+relay"."""
    return started_t(args, timeout, cwd=cwd, debug=debug).wait()


def windows_path(unix_path):
    """The name Wine gives a Unix path: drive Z: is the root folder."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


# Wine's stand-in for the notification area: the test desktop keeps an icon
# of its own, so this window stays for the whole run.
WINE_TRAY_WINDOW = "Wine System Tray"


def visible_windows():
    """Titles of the windows visible on the test display, apart from Wine's
    tray window ([] without xdotool)."""
    if not shutil.which("xdotool"):
        return []
    with tempfile.TemporaryFile() as out:
        subprocess.run(
            ["timeout", "10", "xdotool", "search", "--onlyvisible", "--name", "."],
            stdin=subprocess.DEVNULL,
            stdout=out,
            stderr=subprocess.DEVNULL,
        )
        out.seek(0)
        ids = out.read().split()
    titles = []
    for window in ids:
        with tempfile.TemporaryFile() as out:
            subprocess.run(
                ["timeout", "10", "xdotool", "getwindowname", window],
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=subprocess.DEVNULL,
            )
            out.seek(0)
            title = out.read().decode("utf-8", "replace").strip()
        if title != WINE_TRAY_WINDOW:
            titles.append(title)
    return titles


def make_tree(root, layout):
    """Creates files and folders under root from a dict: a dict value is a
    folder, a bytes value a file with that content. Names are Unicode text and
    land on disk as UTF-8, which Wine hands to the program as code page 932."""
    os.makedirs(root, exist_ok=True)
    for name, value in layout.items():
        path = os.path.join(root, name)
        if isinstance(value, dict):
            make_tree(path, value)
        else:
            with open(path, "wb") as f:
                f.write(value)


def crlf_lines(lines):
    """The bytes of a list file holding these lines (text, encoded as cp932)."""
    return b"".join(line.encode("cp932") + b"\r\n" for line in lines)


def assert_list_file(case, path, expected_lines):
    """Checks a list file's bytes against the lines, showing both as text."""
    with open(path, "rb") as f:
        got = f.read()
    expected = crlf_lines(expected_lines)
    case.assertEqual(
        got,
        expected,
        "list file %s\ngot:\n%s\nexpected:\n%s"
        % (path, got.decode("cp932", "replace"), expected.decode("cp932", "replace")),
    )


def parse_report(data):
    """The key=value lines that close_message_box writes (cp932)."""
    report = {}
    for line in data.decode("cp932", "replace").splitlines():
        key, _, value = line.partition("=")
        report[key] = value
    return report
