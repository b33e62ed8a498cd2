"""What the end-to-end tests share: where the built programs are, how to start
them on this platform (natively, or under Wine through the runner), what they
write, how to read the simulator's trace, and a real terminal to run them in (a
tmux session on a private server)."""

import errno
import os
import re
import shlex
import shutil
import subprocess
import tempfile
import time
import uuid

BIN_DIR = os.environ.get("KAVRO_BIN_DIR", "")
RUNNER = os.environ.get("KAVRO_RUNNER", "")
EXE_SUFFIX = os.environ.get("KAVRO_EXE_SUFFIX", "")
UNDER_WINE = bool(RUNNER)

# What the program writes, as it writes it.
USAGE = (b"\r\n   This utility is designated to control Kavro CD Library devices via USB port.\r\n"
         b"It selects the indicated CD or CDs. Numbers must started form 1. Version 1.01.\r\n"
         b"Published by the Kavro Tools project, free software for Kavro CD Library owners.\r\n"
         b"Project page: https://kavro-tools.example.org/\r\n"
         b"\r\nKavro [Number] [Number1-NumberN] ...\r\n\r\nExample: Kavro 25 186-189 3\r\n"
         b"It will select one by one disks 25, 186, 187, 188, 189, 3.\r\n")
WARNING = (b"\r\n   There are no ways to determine the device status for sure.\r\n"
           b"So, it's possible that the device will not answer correctly and\r\n"
           b"as a result the program will hang up. In this case, just press Ctrl + C.\r\n"
           b"Moving statistic:\r\nInitial waiting: done.\r\n")
PROMPT = "The flashing device will be number: "
ERROR = "Please, enter a valid number from 1 to 127."
TAKEN = "Bank %d is taken by another device."
CREATED = "Kavro.xml file was created."
CANNOT_LOAD = b"\r\nCannot load initialization file (Kavro.xml).\r\n"
CANNOT_SAVE = "Cannot save initialization file (Kavro.xml)."

# Whatever asks a terminal for an answer, which one that answers nothing would leave
# the program waiting for: a status or cursor report (CSI 6 n, CSI ? 6 n, CSI 5 n),
# the device attributes (CSI c, CSI > c, CSI = c), the window's size and its kin
# (CSI 18 t), the keyboard's flags (CSI ? u), the version (CSI > q), a mode's state
# (CSI ? 1 $ p), any device control string, and an OSC that asks for a value (its
# text ends in "?"). An 8-bit control counts unless it is part of a UTF-8 character.
TERMINAL_QUERY = re.compile(rb"""
    (?:\x1b\[|(?<![\x80-\xff])\x9b)
        (?:\??[0-9]*n|[>=]?0?c|(?:1[1-9]|2[01])(?:;[0-9]*)?t|\?u|>0?q|\??[0-9]+\$p)
  | \x1bP | (?<![\x80-\xff])\x90
  | (?:\x1b\]|(?<![\x80-\xff])\x9d)[^\x07\x1b]*\?(?:\x07|\x1b\\|\x9c)
""", re.VERBOSE)


def program(name, folder=BIN_DIR):
    """The full path of a built program, or of its copy in another folder."""
    return os.path.join(folder, name + EXE_SUFFIX)


def command(name, *arguments, folder=BIN_DIR):
    """The argument vector that starts a program on this platform."""
    prefix = [RUNNER] if RUNNER else []
    return prefix + [program(name, folder)] + [str(a) for a in arguments]


def native_path(path):
    """A path as the program sees it: Wine maps the Linux root to drive Z:."""
    path = os.path.abspath(path)
    return "Z:" + path.replace("/", "\\") if UNDER_WINE else path


def started(argv, **options):
    """subprocess.run for tests that start programs from several threads: a program
    that one thread has just copied is "busy" (ETXTBSY) while a child that another
    thread forks meanwhile still holds the copy's descriptor, until that child
    execs; starting it again a moment later succeeds.

    Standard error asked for as a pipe comes through a file instead: a Wine helper
    that a program starts (the desktop, the services) keeps the program's standard
    error open while other programs use it, and a pipe's reader would wait for all
    of them to end."""
    with tempfile.TemporaryFile() as errors:
        piped = options.get("stderr") == subprocess.PIPE
        if piped:
            options["stderr"] = errors
        for attempt in range(100):
            try:
                done = subprocess.run(argv, **options)
                break
            except OSError as error:
                if error.errno != errno.ETXTBSY or attempt == 99:
                    raise
                time.sleep(0.02)
        if piped:
            errors.seek(0)
            done.stderr = errors.read()
        return done


def run(name, *arguments, cwd=None, timeout=60, folder=BIN_DIR):
    """Runs a program with its output on a pipe; returns (exit code, stdout bytes)."""
    done = started(command(name, *arguments, folder=folder), cwd=cwd,
                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                   stderr=subprocess.PIPE, timeout=timeout)
    return done.returncode, done.stdout


def wait_until(condition, timeout=20.0, step=0.05):
    """Polls until condition() is true; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


def shell_words(argv):
    """A command line for sh that starts argv on this platform."""
    env = "WINEDEBUG=-all " if UNDER_WINE else ""
    return env + " ".join(shlex.quote(a) for a in argv)


class Closing:
    """Closed at the end of a `with` block."""

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


SHELL_PROMPT = "SHELL> "
# Shell lines around a program's command (%s) that keep the terminal after it ends,
# below its output; the second also says its exit status.
AND_THEN_EXITED = "%s; echo; echo EXITED; sleep 3600"
WITH_STATUS = '%s; echo "status $?"; echo EXITED; sleep 3600'


class Terminal(Closing):
    """A program running in an 80x24 tmux pane that stays, with "EXITED" written
    below the program's output, after the program ends. Given a script instead, the
    pane runs it with sh; given a command, the pane runs that (a shell, say)."""

    def __init__(self, argv=None, cwd=None, width=80, height=24, script=None, command=None):
        self.socket = "kavro-e2e-" + uuid.uuid4().hex[:8]
        self.width = width
        self.name = "t"
        if script is None and command is None:
            script = AND_THEN_EXITED % shell_words(argv)
        if command is None:
            command = "sh -c " + shlex.quote(script)
        self._tmux("new-session", "-d", "-x", str(width), "-y", str(height), "-s", self.name,
                   "-c", cwd or os.getcwd(), command)

    @classmethod
    def shell(cls, cwd, shell="sh -i", width=80, height=24):
        """A terminal running an interactive shell, once the shell reads commands.
        Keys typed before then are echoed ahead of the shell's prompt, and whatever
        the command writes next no longer starts a line."""
        terminal = cls(cwd=cwd, width=width, height=height,
                       command="env PS1=%s %s" % (shlex.quote(SHELL_PROMPT), shell))
        try:
            terminal.wait_for("(?m)^" + re.escape(SHELL_PROMPT.rstrip()) + "$")
        except AssertionError:
            terminal.close()
            raise
        return terminal

    def _tmux(self, *arguments):
        return subprocess.run(["tmux", "-L", self.socket] + list(arguments), check=True,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              text=True).stdout

    def screen(self, colours=False, joined=False, history=False):
        """The pane's rows as text, with escape sequences for colours when asked, rows
        that the terminal wrapped joined into one when asked, and the rows scrolled out
        of the window before them when asked."""
        flags = (["-p"] + (["-e"] if colours else []) + (["-J"] if joined else []) +
                 (["-S", "-"] if history else []))
        return self._tmux("capture-pane", *flags, "-t", self.name).split("\n")

    def text(self, history=False):
        """The pane as lines of text: a row that fills the whole width continues on the
        next one, however the terminal came to wrap it."""
        lines = []
        joining = False
        for row in self.screen(joined=True, history=history):
            if joining:
                lines[-1] += row
            else:
                lines.append(row)
            joining = len(row) >= self.width
        return "\n".join(line.rstrip() for line in lines)

    def wait_for(self, pattern, count=1, timeout=20):
        """Waits until a regular expression matches the text `count` times; fails the
        test, showing the text, when it does not."""
        if not wait_until(lambda: len(re.findall(pattern, self.text())) >= count, timeout=timeout):
            raise AssertionError("waited for %r:\n%s" % (pattern, self.text()))

    def cursor(self):
        x, y = self._tmux("display-message", "-p", "-t", self.name,
                          "#{cursor_x} #{cursor_y}").split()
        return int(x), int(y)

    def send(self, *keys):
        self._tmux("send-keys", "-t", self.name, *keys)

    def resize(self, width, height):
        self._tmux("resize-window", "-t", self.name, "-x", str(width), "-y", str(height))
        self.width = width

    def close(self):
        subprocess.run(["tmux", "-L", self.socket, "kill-server"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class XTerm(Closing):
    """A program running in a real xterm on a private X server (Xvfb): a terminal
    that keeps its rows as they were when its window changes size, where tmux
    re-wraps them. Keys go in through the X server; the screen is read by xterm's
    own print action, which a sequence written to its terminal starts."""

    def __init__(self, argv, cwd, width=80, height=24):
        self._folder = tempfile.TemporaryDirectory(prefix="kavro-xterm-")
        self._tty = os.path.join(self._folder.name, "tty")
        self._printed = os.path.join(self._folder.name, "screen.txt")
        # Xvfb picks a display number of its own and says which.
        reader, writer = os.pipe()
        self._server = subprocess.Popen(["Xvfb", "-displayfd", str(writer), "-screen", "0",
                                         "1600x1200x24", "-nolisten", "tcp"], pass_fds=(writer,),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(writer)
        with os.fdopen(reader) as said:
            self.display = ":" + said.readline().strip()
        self._env = dict(os.environ, DISPLAY=self.display)
        script = "tty > %s; " % shlex.quote(self._tty) + AND_THEN_EXITED % shell_words(argv)
        resources = ["allowSendEvents: true", "printAttributes: 0",
                     "printerCommand: cat > " + shlex.quote(self._printed)]
        options = sum((["-xrm", "XTerm*" + r] for r in resources), [])
        if not wait_until(self._server_up, timeout=10):
            self.close()
            raise OSError("Xvfb did not start on " + self.display)
        self._xterm = subprocess.Popen(
            ["xterm", "-geometry", "%dx%d" % (width, height)] + options +
            ["-e", "sh", "-c", script], cwd=cwd, env=self._env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: os.path.exists(self._tty) and self._window(), timeout=20):
            self.close()
            raise OSError("xterm did not start")
        with open(self._tty) as f:
            self._tty_path = f.read().strip()

    def _server_up(self):
        return subprocess.run(["xdotool", "getmouselocation"], env=self._env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0

    def _window(self):
        found = subprocess.run(["xdotool", "search", "--pid", str(self._xterm.pid)],
                               env=self._env, stdout=subprocess.PIPE, text=True).stdout.split()
        self.window = found[0] if found else None
        return self.window

    def screen(self):
        """The screen's rows, trailing blanks removed."""
        if os.path.exists(self._printed):
            os.remove(self._printed)
        with open(self._tty_path, "w") as tty:
            tty.write("\x1b[i")
        wait_until(lambda: os.path.exists(self._printed) and os.path.getsize(self._printed) > 0)
        time.sleep(0.1)  # the printer command may still be writing
        with open(self._printed, errors="replace") as f:
            return [row.rstrip() for row in f.read().split("\n")]

    def wait_for(self, pattern, timeout=20):
        if not wait_until(lambda: re.search(pattern, "\n".join(self.screen())), timeout=timeout,
                          step=0.2):
            raise AssertionError("waited for %r:\n%s" % (pattern, "\n".join(self.screen())))

    def send(self, *keys):
        """Keys by their X names (BackSpace, Return) or as text to type."""
        for key in keys:
            verb = "key" if len(key) > 1 else "type"
            subprocess.run(["xdotool", verb, "--window", self.window, key], env=self._env,
                           check=True, stderr=subprocess.DEVNULL)

    def resize(self, width, height):
        subprocess.run(["xdotool", "windowsize", "--usehints", self.window, str(width),
                        str(height)], env=self._env, check=True, stderr=subprocess.DEVNULL)

    def close(self):
        for process in (getattr(self, "_xterm", None), self._server):
            if process is not None:
                process.kill()
                process.wait()
        self._folder.cleanup()


def table(*items):
    """A bank table with Items of (internal number, bank), as the program writes it
    but for the line end."""
    return b"<CDLibraryList>" + b"".join(b'<Item ID="%d" Bank="%d"/>' % item
                                         for item in items) + b"</CDLibraryList>"


def wait_until_asked(testcase, place, terminal, shown=PROMPT.rstrip(), blinks=1):
    """Waits for a question and until the program reads keys for it."""
    terminal.wait_for(re.escape(shown))
    testcase.assertTrue(place.blinking(blinks), "no device blinks")


def calls_of(trace, function):
    return [call for call in trace if call[1] == function]


def assert_leds_end_off(testcase, place):
    """Fails the test when a carousel's LED is left on: every USBCDLEDON must be followed
    by a USBCDLEDOFF for the same device, which makes the last LED call, if any, a
    USBCDLEDOFF. No LED call at all passes."""
    lit = {}
    for function, device in place.leds():
        lit[device] = function == "USBCDLEDON"
    testcase.assertEqual([device for device, on in lit.items() if on], [],
                         "the LEDs of these devices were left on")


SIM_LIBRARY = "USBCDDLL.dll" if UNDER_WINE else "libUSBCDDLL.so"


class Installation(Closing):
    """A folder of its own holding the program (or a probe) beside the simulated
    library and its configuration, as a user's installation would; at least
    `depth` characters deep as the program sees it, or in a folder of the given
    name (bytes, as a file system may hold them), or below the folder `base`, when
    asked."""

    def __init__(self, settings, programs=("Kavro",), depth=0, folder=None, base=None):
        self._folder = tempfile.TemporaryDirectory(prefix="kavro-e2e-", dir=base)
        self.path = self._folder.name
        while len(native_path(self.path)) < depth:
            self.path = os.path.join(self.path, "folder-" + "d" * 40)
        if folder is not None:
            self.path = os.path.join(self.path, os.fsdecode(folder))
        os.makedirs(self.path, exist_ok=True)
        for name in programs:
            shutil.copy2(program(name), self.path)
        shutil.copy2(os.path.join(BIN_DIR, SIM_LIBRARY), self.path)
        lines = ["trace = trace.txt"] + ["%s = %s" % item for item in settings.items()]
        with open(os.path.join(self.path, "USBCDSIM.ini"), "w") as f:
            f.write("\n".join(lines) + "\n")

    def command(self, name, *arguments):
        return command(name, *arguments, folder=self.path)

    def terminal(self, testcase, *arguments, script=AND_THEN_EXITED, **size):
        """Kavro started here in a terminal that closes when the test ends, by the shell
        line `script` around its command (%s)."""
        line = script % shell_words(self.command("Kavro", *arguments))
        terminal = Terminal(cwd=self.path, script=line, **size)
        testcase.addCleanup(terminal.close)
        return terminal

    def run(self, name, *arguments, cwd=None, timeout=120):
        return run(name, *arguments, cwd=cwd or self.path, timeout=timeout, folder=self.path)

    def file(self, name):
        return os.path.join(self.path, name)

    def read(self, name):
        """A file's bytes here, or none while the file does not exist yet."""
        try:
            with open(self.file(name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return b""

    def write(self, name, content):
        with open(self.file(name), "wb") as f:
            f.write(content)

    def write_table(self, *items):
        self.write("Kavro.xml", table(*items))

    def saved_table(self):
        """Kavro.xml as its writer left it, but for the line end."""
        return self.read("Kavro.xml").rstrip(b"\r\n")

    def leds(self):
        """The LED calls of the trace as (function, device)."""
        return [(c[1], c[2][0]) for c in self.trace() or [] if c[1].startswith("USBCDLED")]

    def trace(self):
        """The simulator's trace as (ms, function, arguments, result) tuples."""
        path = self.file("trace.txt")
        if not os.path.exists(path):
            return None
        calls = []
        with open(path) as f:
            for line in f.read().splitlines():
                words = line.split()
                calls.append((int(words[0]), words[1], [int(w) for w in words[2:-2]],
                              int(words[-1])))
        return calls

    def blinking(self, count=1):
        """Waits until the programs here have switched an LED on `count` times, the
        first of them once a program reads keys for a bank; true when they have.
        Keys typed before that may reach Wine's console as a line of their own
        instead of the program. The trace is counted as text: two programs that write
        it at once may garble each other's lines."""
        return wait_until(lambda: self.read("trace.txt").count(b" USBCDLEDON ") >= count)

    def close(self):
        self._folder.cleanup()
