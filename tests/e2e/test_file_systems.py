"""The program's own folder on the file systems that a Linux machine may hold it on:
btrfs (its top, a subvolume, a subvolume mounted by itself), XFS, ext4, both layers
of an overlay, tmpfs and FUSE (bindfs); the program started as itself, through the dynamic
loader, by a user without privileges and from an open descriptor. The file systems
are mounted from sparse images in a mount namespace of the test's own, which takes
them and their loop devices with it however the test ends; so the tests run only as
root."""

import ctypes
import os
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import unittest

import harness

# No trace: the user without privileges may not write one.
SETTINGS = {"devices": "0", "trace": ""}
# What /list says of the table written beside the program: device 0 with bank 5.
LISTED = b"Bank 5, discs 601-750: internal number 0, attached, in effect.\r\n"
LOADER = "/lib64/ld-linux-x86-64.so.2"
NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
# Started by the file descriptor of the program (fexecve), not by its name.
FROM_DESCRIPTOR = ("import os, sys; "
                   "os.execve(os.open(sys.argv[1], os.O_RDONLY), sys.argv[1:], os.environ)")
# How the program is started, and the mode of its file. The one that changes the mode
# comes last: on an overlay, that moves a program of the lower layer to the upper.
WAYS = {"as itself": ([], 0o755),
        "through the dynamic loader": ([LOADER], 0o755),
        "without privileges, through the dynamic loader": (NOBODY + [LOADER], 0o755),
        "from an open descriptor": ([sys.executable, "-c", FROM_DESCRIPTOR], 0o755),
        "without privileges, a program it may run but not read": (NOBODY, 0o711)}
# About the least each mkfs takes, in MiB.
IMAGE_SIZES = {"btrfs": 128, "xfs": 300, "ext4": 16}
MKFS_OPTIONS = {"btrfs": ["-q"], "xfs": ["-q"], "ext4": ["-q", "-F"]}
CLONE_NEWNS = 0x00020000
PR_SET_PDEATHSIG = 1

no_mounts = None


def why_no_mounts():
    """Why the test cannot mount file systems in a mount namespace of its own, or None
    when it can."""
    if os.geteuid() != 0:
        return "mounting file systems takes root"
    if ctypes.CDLL(None, use_errno=True).unshare(CLONE_NEWNS) != 0:
        return "no mount namespace of its own: " + os.strerror(ctypes.get_errno())
    made = subprocess.run(["mount", "--make-rprivate", "/"], stderr=subprocess.PIPE)
    if made.returncode != 0:
        return "no private mounts: " + made.stderr.decode(errors="replace")
    return None


def setUpModule():
    global no_mounts
    no_mounts = why_no_mounts()


def end_with_the_test():
    ctypes.CDLL(None).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class FileSystems(unittest.TestCase):
    def setUp(self):
        if no_mounts:
            self.skipTest(no_mounts)
        self.work = tempfile.mkdtemp(prefix="kavro-fs-")
        self.addCleanup(shutil.rmtree, self.work)
        os.chmod(self.work, 0o755)  # for the user without privileges

    def folder(self, name):
        path = os.path.join(self.work, name)
        os.makedirs(path, exist_ok=True)
        return path

    def mount(self, target, *arguments):
        """Mounts, or skips the case that needs it with mount's reason."""
        done = subprocess.run(["mount"] + list(arguments) + [target], stderr=subprocess.PIPE)
        if done.returncode != 0:
            self.skipTest("cannot mount %s: %s" % (" ".join(arguments),
                                                    done.stderr.decode(errors="replace")))
        self.addCleanup(subprocess.run, ["umount", "--lazy", target], check=True)
        return target

    def image(self, kind):
        """A sparse image of a new empty file system of that kind. Mounted with -o loop,
        it gets a loop device that goes when it is unmounted."""
        tool = "mkfs." + kind
        if shutil.which(tool) is None:
            self.skipTest(tool + " is not installed")
        path = os.path.join(self.work, kind + ".img")
        with open(path, "wb") as f:
            f.truncate(IMAGE_SIZES[kind] << 20)
        subprocess.run([tool] + MKFS_OPTIONS[kind] + [path], check=True,
                       stdout=subprocess.DEVNULL)
        return path

    def installed(self, base):
        """An installation below base, its table written, that any user may start."""
        place = harness.Installation(SETTINGS, base=base)
        self.addCleanup(place.close)
        place.write_table((0, 5))
        os.chmod(place.path, 0o755)
        os.chmod(place.file("Kavro"), 0o755)
        return place

    def assert_found(self, folder):
        """The program in that folder reads the table beside it, whichever way it is
        started, and writes nothing where it is started."""
        program = harness.program("Kavro", folder)
        elsewhere = self.folder("elsewhere")
        for way, (starter, mode) in WAYS.items():
            with self.subTest(way=way):
                if stat.S_IMODE(os.stat(program).st_mode) != mode:
                    os.chmod(program, mode)
                done = subprocess.run(starter + [program, "/list"], cwd=elsewhere,
                                      stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                      stderr=subprocess.PIPE, timeout=60)
                self.assertEqual((done.returncode, done.stdout), (0, LISTED), done.stderr)
                self.assertEqual(os.listdir(elsewhere), [])

    def test_btrfs_top_subvolume_and_a_subvolume_mounted_by_itself(self):
        # stat() tells each subvolume's own device, /proc/self/maps the file system's.
        image = self.image("btrfs")
        top = self.mount(self.folder("btrfs"), "-o", "loop", image)
        subprocess.run(["btrfs", "-q", "subvolume", "create", os.path.join(top, "sub")],
                       check=True)
        alone = self.mount(self.folder("alone"), "-o", "loop,subvol=sub", image)
        for folder in (top, os.path.join(top, "sub"), alone):
            with self.subTest(folder=os.path.relpath(folder, self.work)):
                self.assert_found(self.installed(folder).path)

    def test_xfs_and_ext4(self):
        for kind in ("xfs", "ext4"):
            with self.subTest(kind=kind):
                folder = self.mount(self.folder(kind), "-o", "loop", self.image(kind))
                self.assert_found(self.installed(folder).path)

    def test_tmpfs(self):
        folder = self.mount(self.folder("tmpfs"), "-t", "tmpfs", "-o", "size=16m", "tmpfs")
        self.assert_found(self.installed(folder).path)

    def test_both_layers_of_an_overlay(self):
        lower, upper, work, merged = (self.folder(name)
                                      for name in ("lower", "upper", "work", "merged"))
        # Made before the mount: a lower layer is not to be changed below a mounted overlay.
        below = self.installed(lower)
        self.mount(merged, "-t", "overlay", "-o", "lowerdir=%s,upperdir=%s,workdir=%s" %
                   (lower, upper, work), "overlay")
        with self.subTest(layer="lower"):
            self.assert_found(os.path.join(merged, os.path.basename(below.path)))
        with self.subTest(layer="upper"):
            self.assert_found(self.installed(merged).path)

    def test_fuse(self):
        if shutil.which("bindfs") is None:
            self.skipTest("bindfs is not installed")
        source, target = self.folder("source"), self.folder("fuse")
        # In the foreground, to end with the test however it ends, and its mount with it.
        server = subprocess.Popen(["bindfs", "-f", source, target], stderr=subprocess.PIPE,
                                  preexec_fn=end_with_the_test)
        self.addCleanup(server.communicate, timeout=30)
        harness.wait_until(lambda: os.path.ismount(target) or server.poll() is not None)
        if not os.path.ismount(target):
            server.kill()
            self.skipTest("cannot mount FUSE: " + server.communicate()[1].decode(errors="replace"))
        self.addCleanup(subprocess.run, ["umount", "--lazy", target], check=True)
        self.assert_found(self.installed(target).path)


if __name__ == "__main__":
    unittest.main()
