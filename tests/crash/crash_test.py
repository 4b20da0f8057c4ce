#!/usr/bin/python3
"""The save under a crash at every file-system call it makes, and under that call
failing, after SQLite's crash tests and LevelDB's fault injection. strace kills
the process on entering the call, or fails the call with EIO (ENOSPC for a
write); the file must then hold exactly the old bytes or exactly the new ones,
and the next save must work. A kill keeps what the page cache holds; what a
power cut loses besides, whatever was not flushed, is the order check's part:
the data flushed before the rename, the folder flushed after it.

  crash_test.py inject CLI SAMPLE   every call of the save, killed and failed
  crash_test.py order CLI SAMPLE    the order of a clean save's calls, no threads
  crash_test.py checks              the checks below on made-up outcomes and logs

The calls are taken from a first traced save, so a call that the save makes
later is covered without a change here.

strace's when=N counts per system call and per tracee, that is per thread: a
new thread starts again at 1. Only the occurrences from the first call on a path
in the copy's folder on are injected (the loader's opening of the libraries comes
before), and every run's log tells which call was hit, so that the runs are
proven to have reached every call of the save.
"""
import dataclasses
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile

SPARK = "72"  # any change, so that the save has new bytes to write
TEMPORARY = re.compile(r"^\.timingcalc-[^/]{8}\.tmp$")

WRITES = ["write", "pwrite64", "writev", "pwritev", "pwritev2"]
# The calls that read or change files or their names: each occurrence in a save is
# a point to kill or fail it at. Names this machine lacks are let pass ("?").
FILE_CALLS = ["open", "openat", "openat2", "creat", "read", "pread64", "readv", *WRITES,
              "fsync", "fdatasync", "sync_file_range", "syncfs", "fchmod", "fchmodat", "chmod",
              "fchown", "fchownat", "chown", "lchown", "close", "close_range",
              "rename", "renameat", "renameat2", "unlink", "unlinkat", "link", "linkat",
              "symlink", "symlinkat", "mkdir", "mkdirat", "rmdir", "truncate", "ftruncate",
              "fallocate", "copy_file_range", "flock",
              "stat", "lstat", "fstat", "newfstatat", "statx", "access", "faccessat",
              "faccessat2", "readlink", "readlinkat"]
THREADS = ["clone", "clone3", "fork", "vfork"]


# --- strace's log ------------------------------------------------------------

@dataclasses.dataclass
class Call:
    tid: int
    name: str
    args: str = ""    # as strace prints them, without the parentheses
    result: str = ""  # after " = ": "0", "3</d/f>", "-1 EIO (...) (INJECTED)", "?"
    thread: int = 0   # 0 for the first thread, then in the order they were made
    nth: int = 0      # which call of this name in its thread, from 1, as when= counts

    def fd(self):
        """The first argument's file descriptor (strace -y prints it as 3</path>)."""
        m = re.match(r"(\d+)<", self.args)
        return int(m[1]) if m else None

    def fd_path(self):
        """The path strace -y gives for the first argument's descriptor."""
        m = re.match(r"\d+<([^>]*)>", self.args)
        return m[1] if m else None

    def returned_fd(self):
        m = re.match(r"(\d+)<", self.result)
        return int(m[1]) if m else None

    def strings(self):
        """The quoted arguments, the -y decorations of descriptors left out."""
        bare = re.sub(r"(AT_FDCWD|\d+)<[^>]*>", r"\1", self.args)
        return re.findall(r'"((?:[^"\\]|\\.)*)"', bare)

    def text(self, folder=None):
        shown = f"{self.name}({re.sub(r'AT_FDCWD<[^>]*>', 'AT_FDCWD', self.args)}) = {self.result}"
        if folder:
            shown = shown.replace(folder, "DIR")
        return shown if len(shown) <= 110 else shown[:107] + "..."


LINE = re.compile(r"^(\d+)\s+(.*)$")
ENTRY = re.compile(r"^(\w+)\((.*)$")
RESUMED = re.compile(r"^<\.\.\. (\w+) resumed>(.*)$")
UNFINISHED = " <unfinished ...>"


def finish(call, rest):
    args, equals, result = rest.rpartition(" = ")
    if not equals:
        args, result = rest, ""
    call.args = args.rstrip().removesuffix(")")
    call.result = result.strip()


def parse(text):
    """The calls of a `strace -f -y` log in the order they were entered, and
    whether the process was killed by SIGKILL."""
    calls, pending, counts, killed = [], {}, {}, False
    for line in text.splitlines():
        m = LINE.match(line)
        if not m:
            continue
        tid, body = int(m[1]), m[2]
        if body.startswith("+++ killed by SIGKILL"):
            killed = True
            continue
        resumed = RESUMED.match(body)
        if resumed:
            if tid in pending:
                call = pending.pop(tid)
                finish(call, call.args + resumed[2])
            continue
        entry = ENTRY.match(body)
        if not entry:
            continue  # signals, exits
        call = Call(tid, entry[1])
        counts[tid, call.name] = counts.get((tid, call.name), 0) + 1
        call.nth = counts[tid, call.name]
        if body.endswith(UNFINISHED):
            call.args = entry[2].removesuffix(UNFINISHED)
            pending[tid] = call
        else:
            finish(call, entry[2])
        calls.append(call)
    # Threads numbered in the order the calls that made them were entered.
    order = [calls[0].tid] if calls else []
    for call in calls:
        if call.name in THREADS and call.result.isdigit() and int(call.result) not in order:
            order.append(int(call.result))
    for call in calls:
        if call.tid not in order:
            order.append(call.tid)
        call.thread = order.index(call.tid)
    return calls, killed


def inside(path, folder):
    return path == folder or path.startswith(folder + "/")


def on_a_file(call):
    """Whether the call is on a path, or on a descriptor of one: not on a pipe, such
    as the sanitizers' probes of memory write to, nor on a socket."""
    on = call.fd_path()
    return on is None or on.startswith("/")


def save_calls(calls, folder):
    """The file calls from the first one on a path in the folder on: the save's."""
    calls = [c for c in calls if c.name in FILE_CALLS]  # not execve, whose arguments name it too
    for i, call in enumerate(calls):
        if any(inside(s, folder) for s in call.strings()):
            return [c for c in calls[i:] if on_a_file(c)]
    return []


# --- running the program -----------------------------------------------------

class Bench:
    def __init__(self, cli, sample, work):
        self.cli, self.work, self.runs = cli, work, 0
        with open(sample, "rb") as f:
            self.old = f.read()
        self.new = None

    def fresh_copy(self):
        """The sample alone in a new folder; its path."""
        self.runs += 1
        folder = os.path.join(self.work, f"r{self.runs}")
        os.mkdir(folder)
        target = os.path.join(folder, "CDI.asm")
        with open(target, "wb") as f:
            f.write(self.old)
        os.chmod(target, 0o640)  # not the umask's, so that keeping it shows
        return target

    def save(self, target, strace=()):
        command = [*strace, self.cli, "set", target, "--spark", SPARK]
        done = subprocess.run(command, capture_output=True, timeout=60, check=False)
        return done.returncode, done.stderr.decode("utf-8", "replace")

    def traced(self, target, calls, inject=None):
        log = os.path.dirname(target) + ".log"
        strace = ["strace", "-f", "-y", "-s", "256", "-o", log,
                  "-e", "trace=" + ",".join("?" + c for c in calls)]
        if inject:
            strace += ["-e", inject]
        status, stderr = self.save(target, strace)
        with open(log, encoding="utf-8", errors="replace") as f:
            calls, killed = parse(f.read())
        return status, stderr, calls, killed


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def others(target):
    """The names in the target's folder besides the target."""
    return set(os.listdir(os.path.dirname(target))) - {os.path.basename(target)}


# --- what a run must leave ---------------------------------------------------

@dataclasses.dataclass
class Outcome:
    kill: bool             # killed on entering the call, else the call failed
    killed: bool           # the process died by SIGKILL
    status: int            # the exit status (strace's own when killed)
    stderr: str
    target: str
    data: bytes            # the file after the run
    left: set              # the other names in the folder after it
    failed_unlink: bool    # the call that failed removed a temporary of ours
    must_fail: bool        # the call that failed wrote, flushed or renamed the new file
    next_status: int       # the plain save after it
    next_data: bytes
    next_left: set


def judge(o, old, new):
    """What is wrong with the outcome of one run; nothing when all is well."""
    problems = []
    if o.data not in (old, new):
        problems.append(f"the file is neither old nor new ({len(o.data)} bytes)")
    if o.kill and not o.killed:
        problems.append(f"not killed: exit {o.status}, so the save made fewer such calls than the first")
    if not o.kill and o.status == 0 and o.data != new:
        problems.append("reported success but the file holds the old bytes")
    if not o.kill and o.status not in (0, 1):
        problems.append(f"exit {o.status}, not 0 or 1")
    if not o.kill and o.must_fail and o.status == 0:
        problems.append("the failed call went unreported: the new bytes may not last")
    if not o.kill and o.status == 1 and o.target not in o.stderr:
        problems.append(f"the failure does not name the file: {o.stderr.strip()!r}")
    stray = sorted(n for n in o.left if not TEMPORARY.match(n))
    if stray:
        problems.append(f"left files that are not its temporary: {stray}")
    allowed = 1 if o.kill or o.failed_unlink else 0
    temporaries = sorted(n for n in o.left if TEMPORARY.match(n))
    if len(temporaries) > allowed:
        problems.append(f"left {len(temporaries)} temporaries (at most {allowed}): {temporaries}")
    if o.next_status != 0:
        problems.append(f"the next save exits {o.next_status}")
    if o.next_data != new:
        problems.append("the next save did not give the new bytes")
    if o.left - o.next_left:
        problems.append(f"the next save removed another's temporary: {sorted(o.left - o.next_left)}")
    if o.next_left - o.left:
        problems.append(f"the next save left a temporary: {sorted(o.next_left - o.left)}")
    return problems


def carries_the_save(call, folder):
    """Whether the call writes, flushes or renames the new file (or flushes its
    folder), so that its failure is the save's."""
    on = call.fd_path() or ""
    if call.name in WRITES + ["fsync", "fdatasync"]:
        return inside(on, folder)
    if call.name == "close":
        return TEMPORARY.match(os.path.basename(on)) is not None  # where a network file system reports a write
    return call.name in ("rename", "renameat", "renameat2") and any(inside(p, folder) for p in call.strings())


def crash_run(bench, call, kill):
    """One save, killed on entering the call's occurrence or with it failing; the
    outcome and the calls that the injection hit, as (thread, name, nth)."""
    target = bench.fresh_copy()
    if kill:
        inject = f"inject={call.name}:signal=KILL:when={call.nth}"
    else:
        error = "ENOSPC" if call.name in WRITES else "EIO"
        inject = f"inject={call.name}:error={error}:when={call.nth}"
    status, stderr, calls, killed = bench.traced(target, [call.name, *THREADS], inject)
    if kill:
        hits = [c for c in calls if c.name == call.name and c.result == "?"]
    else:
        hits = [c for c in calls if c.result.endswith("(INJECTED)")]
    data, left = read_bytes(target), others(target)
    next_status, _ = bench.save(target)
    outcome = Outcome(
        kill=kill, killed=killed or status in (-9, 137), status=status, stderr=stderr,
        target=target, data=data, left=left,
        failed_unlink=any(c.name in ("unlink", "unlinkat") and
                          any(TEMPORARY.match(os.path.basename(s)) for s in c.strings()) for c in hits),
        must_fail=any(carries_the_save(c, os.path.dirname(target)) for c in hits),
        next_status=next_status, next_data=read_bytes(target), next_left=others(target))
    folder = os.path.dirname(target)
    repro = (f"hit: {'; '.join(f'[{c.thread}] ' + c.text(folder) for c in hits) or 'nothing'}\n"
             f"     strace -f -e {inject} {bench.cli} set COPY --spark {SPARK}"
             "   # COPY: a copy of the sample, mode 0640")
    return outcome, {(c.thread, c.name, c.nth) for c in hits}, repro


def reference(bench):
    """The new bytes, from a plain save of one copy, and a traced save of another:
    its calls, the copy, and the copy's status before the save."""
    plain = bench.fresh_copy()
    status, stderr = bench.save(plain)
    if status != 0:
        sys.exit(f"the plain save fails ({status}): {stderr}")
    bench.new = read_bytes(plain)
    if bench.new == bench.old:
        sys.exit(f"--spark {SPARK} changes nothing in the sample: no new bytes to tell apart")
    target = bench.fresh_copy()
    before = os.stat(target)
    status, stderr, calls, _ = bench.traced(target, FILE_CALLS + THREADS)
    if status != 0 or read_bytes(target) != bench.new:
        sys.exit(f"the traced save fails ({status}) or gives other bytes: {stderr}")
    return calls, target, before


def inject_all(bench):
    calls, target, _ = reference(bench)
    folder = os.path.dirname(target)
    points = save_calls(calls, folder)
    if not points:
        sys.exit("the traced save made no call on the copy's folder")
    # One run for each name and count: with threads, one when= reaches that
    # occurrence in each of them.
    runs = {(c.name, c.nth): c for c in points}
    failures = 0
    for kill in (True, False):
        reached = set()
        for key in sorted(runs):
            outcome, hits, repro = crash_run(bench, runs[key], kill)
            reached |= hits
            for problem in judge(outcome, bench.old, bench.new):
                failures += 1
                print(f"FAIL {'kill' if kill else 'error'} at {key[0]} #{key[1]} "
                      f"({runs[key].text(folder)}): {problem}\n     {repro}")
        for c in points:
            if (c.thread, c.name, c.nth) not in reached:
                failures += 1
                print(f"FAIL {'kill' if kill else 'error'}: never reached {c.name} #{c.nth} "
                      f"of thread {c.thread}: {c.text(folder)}")
    if failures:
        print(f"crash: {bench.runs} runs, {failures} failures")
        return 1
    print(f"crash: {bench.runs} runs, every file old or new")
    return 0


# --- the order of a clean save -----------------------------------------------

@dataclasses.dataclass
class Save:
    """What the order's steps are told apart by."""
    folder: str
    target: str
    uid: int
    gid: int
    mode: int
    size: int          # of the new bytes
    create: Call = None
    temporary: str = ""
    temporary_fd: int = -1
    folder_open: Call = None
    folder_fd: int = -1


def life(calls, opened, fd):
    """The calls on the descriptor that `opened` returned, up to its close."""
    on = []
    for call in calls[calls.index(opened) + 1:] if opened else []:
        if call.fd() == fd:
            on.append(call)
            if call.name == "close":
                break
    return on


def is_create(c, s):
    names = c.strings()
    return (c.name in ("open", "openat", "creat") and c.returned_fd() is not None and names and
            os.path.dirname(names[0]) == s.folder and TEMPORARY.match(os.path.basename(names[0])) and
            "O_CREAT" in c.args and "O_EXCL" in c.args)


def is_folder_open(c, s):
    names = c.strings()
    return (c.name in ("open", "openat") and c.returned_fd() is not None and names and
            os.path.normpath(names[0]) == s.folder and "O_DIRECTORY" in c.args)


# (name, which calls make the step); the steps must come in this order, each
# one's calls all before the next one's.
ORDER = [
    ("create the temporary beside the target (O_CREAT|O_EXCL)",
     lambda c, s, t, d: c is s.create),
    ("write the bytes to it",
     lambda c, s, t, d: c in t and c.name in WRITES),
    ("give it the old file's owner (fchown)",
     lambda c, s, t, d: c in t and c.name == "fchown" and c.args.endswith(f", {s.uid}, {s.gid}")),
    ("give it the old file's mode (fchmod)",
     lambda c, s, t, d: c in t and c.name == "fchmod" and c.args.endswith(f", 0{s.mode:o}")),
    ("flush its data (fdatasync)",
     lambda c, s, t, d: c in t and c.name in ("fdatasync", "fsync")),
    ("close it",
     lambda c, s, t, d: c in t and c.name == "close"),
    ("rename it over the target",
     lambda c, s, t, d: c.name in ("rename", "renameat", "renameat2") and
     c.strings()[:2] == [s.temporary, s.target]),
    ("open the folder (O_DIRECTORY)",
     lambda c, s, t, d: c is s.folder_open),
    ("flush the folder (fsync)",
     lambda c, s, t, d: c in d and c.name in ("fsync", "fdatasync")),
    ("close the folder",
     lambda c, s, t, d: c in d and c.name == "close"),
]


def check_order(calls, s):
    problems = [f"a thread is made: {c.text(s.folder)}" for c in calls if c.name in THREADS]
    problems += [f"sync_file_range is called: {c.text(s.folder)}" for c in calls if c.name == "sync_file_range"]
    s.create = next((c for c in calls if is_create(c, s)), None)
    if s.create:
        s.temporary, s.temporary_fd = s.create.strings()[0], s.create.returned_fd()
    # The folder opened for its flush: the last opening, after the rename.
    s.folder_open = next((c for c in reversed(calls) if is_folder_open(c, s)), None)
    if s.folder_open:
        s.folder_fd = s.folder_open.returned_fd()
    on_temporary = life(calls, s.create, s.temporary_fd)
    on_folder = life(calls, s.folder_open, s.folder_fd)
    written = sum(int(c.result) for c in on_temporary if c.name in WRITES and c.result.isdigit())
    if s.create and written != s.size:
        problems.append(f"{written} bytes written to the temporary, not the {s.size} new ones")
    steps = []
    for number, (name, makes) in enumerate(ORDER, 1):
        at = [i for i, c in enumerate(calls) if makes(c, s, on_temporary, on_folder)]
        if not at:
            problems.append(f"missing: step {number} '{name}'")
        steps.append((number, name, at))
    present = [step for step in steps if step[2]]
    for (n1, name1, at1), (n2, name2, at2) in zip(present, present[1:]):
        if min(at2) < max(at1):
            problems.append(f"out of place: step {n2} '{name2}' ({calls[min(at2)].text(s.folder)}) "
                            f"comes before the end of step {n1} '{name1}' ({calls[max(at1)].text(s.folder)})")
    return problems


def order(bench):
    calls, target, old = reference(bench)
    folder = os.path.dirname(target)
    save = Save(folder=folder, target=target, uid=old.st_uid, gid=old.st_gid,
                mode=stat.S_IMODE(old.st_mode), size=len(bench.new))
    problems = check_order(calls, save)
    new = os.stat(target)
    if (new.st_uid, new.st_gid, new.st_mode) != (old.st_uid, old.st_gid, old.st_mode):
        problems.append("the saved file's owner or mode is not the old file's")
    for problem in problems:
        print(f"FAIL {problem}")
    if problems:
        print("the save's calls on its folder:")
        for c in save_calls(calls, folder):
            print(f"  [{c.thread}] {c.text(folder)}")
        return 1
    print(f"crash: the save's {len(ORDER)} steps in order, on one thread")
    return 0


# --- the checks on made-up outcomes and logs -----------------------------------

CLEAN_LOG = """\
100  execve("/b/timingcalc-cli", ["/b/timingcalc-cli", "set", "/d/CDI.asm"], 0x7ffc /* 9 vars */) = 0
100  openat(AT_FDCWD</w>, "/etc/ld.so.cache", O_RDONLY|O_CLOEXEC) = 3</etc/ld.so.cache>
100  close(3</etc/ld.so.cache>) = 0
100  newfstatat(AT_FDCWD</w>, "/d/CDI.asm", {st_mode=S_IFREG|0640, st_size=4, ...}, 0) = 0
100  openat(AT_FDCWD</w>, "/d/CDI.asm", O_RDONLY) = 3</d/CDI.asm>
100  read(3</d/CDI.asm>, "old\\n", 65536) = 4
100  write(4<pipe:[9]>, "\\0\\0", 16) = 16
100  close(3</d/CDI.asm>) = 0
100  openat(AT_FDCWD</w>, "/d/.timingcalc-0123abcd.tmp", O_WRONLY|O_CREAT|O_EXCL|O_CLOEXEC, 0600) = 3</d/.timingcalc-0123abcd.tmp>
100  write(3</d/.timingcalc-0123abcd.tmp>, "ne", 2) = 2
100  write(3</d/.timingcalc-0123abcd.tmp>, "w!\\n", 3) = 3
100  fchown(3</d/.timingcalc-0123abcd.tmp>, 1000, 100) = 0
100  fchmod(3</d/.timingcalc-0123abcd.tmp>, 0640) = 0
100  fdatasync(3</d/.timingcalc-0123abcd.tmp>) = 0
100  close(3</d/.timingcalc-0123abcd.tmp>) = 0
100  rename("/d/.timingcalc-0123abcd.tmp", "/d/CDI.asm") = 0
100  openat(AT_FDCWD</w>, "/d", O_RDONLY|O_DIRECTORY|O_CLOEXEC) = 3</d>
100  fsync(3</d>) = 0
100  close(3</d>) = 0
100  exit_group(0) = ?
100  +++ exited with 0 +++
"""


def without(fragment):
    return lambda lines: [line for line in lines if fragment not in line]


def moved(fragment, before):
    """The line with the fragment put just before the line with `before`."""
    def move(lines):
        line = next(x for x in lines if fragment in x)
        rest = [x for x in lines if x is not line]
        at = next(i for i, x in enumerate(rest) if before in x)
        return rest[:at] + [line] + rest[at:]
    return move


def replaced(old, new):
    return lambda lines: [line.replace(old, new) for line in lines]


def added(line, after):
    return lambda lines: [x for y in lines for x in ([y, line] if after in y else [y])]


# name | the clean log changed | what the order check says, None when all is well
ORDER_CASES = [
    ("the clean save", lambda lines: lines, None),
    ("no flush of the folder", without("fsync(3</d>)"), "missing: step 9 'flush the folder"),
    ("the folder never opened", without('"/d", O_RDONLY|O_DIRECTORY'), "missing: step 8"),
    ("no flush of the data", without("fdatasync"), "missing: step 5"),
    ("owner and mode before the write", moved("fchown", "write(3"), "out of place: step 3"),
    ("the rename before the flush", moved("rename(", "fdatasync"),
     "out of place: step 7 'rename it over the target' (rename("),
    ("the temporary closed after the rename", moved("rename(", "close(3</d/.timingcalc"),
     "comes before the end of step 6 'close it' (close("),
    ("the folder flushed before the rename",
     lambda lines: moved("fsync(3</d>)", "rename(")(moved("O_DIRECTORY", "rename(")(lines)),
     "out of place: step 8 'open the folder (O_DIRECTORY)'"),
    ("a mode other than the old file's", replaced(", 0640) = 0", ", 0644) = 0"), "missing: step 4"),
    ("an owner other than the old file's", replaced(", 1000, 100)", ", 0, 0)"), "missing: step 3"),
    ("the temporary made without O_EXCL", replaced("O_CREAT|O_EXCL", "O_CREAT|O_TRUNC"), "missing: step 1"),
    ("a temporary not beside the target", replaced('"/d/.timingcalc-0123abcd.tmp", O_WRONLY',
                                                   '"/tmp/.timingcalc-0123abcd.tmp", O_WRONLY'),
     "missing: step 1"),
    ("a byte short", replaced('"w!\\n", 3) = 3', '"w!", 2) = 2'), "4 bytes written to the temporary, not the 5"),
    ("renamed over another file", replaced('"/d/CDI.asm") = 0', '"/d/CDI.bak") = 0'), "missing: step 7"),
    ("a thread made", added("100  clone3({flags=CLONE_VM|CLONE_THREAD}, 88) = 101", "newfstatat"),
     "a thread is made"),
    ("sync_file_range", added("100  sync_file_range(3</d/.timingcalc-0123abcd.tmp>, 0, 0, 1) = 0", "write(3"),
     "sync_file_range is called"),
]

OLD, NEW = b"old\n", b"new!\n"
CLEAN = dict(kill=False, killed=False, status=0, stderr="", target="/d/CDI.asm", data=NEW, left=set(),
             failed_unlink=False, must_fail=False, next_status=0, next_data=NEW, next_left=set())
KILLED = dict(CLEAN, kill=True, killed=True, status=-9, data=OLD, left={".timingcalc-0123abcd.tmp"},
              next_left={".timingcalc-0123abcd.tmp"})
FAILED = dict(CLEAN, status=1, data=OLD, stderr='Error: Cannot create file "/d/CDI.asm". No space left on device')

# name | outcome | what the judge says, None when all is well
JUDGE_CASES = [
    ("a clean save", CLEAN, None),
    ("killed before the rename", KILLED, None),
    ("killed after the rename", dict(KILLED, data=NEW), None),
    ("killed, no temporary left", dict(KILLED, left=set(), next_left=set()), None),
    ("a failure reported", FAILED, None),
    ("a failure after the rename", dict(FAILED, data=NEW), None),
    ("a failed flush reported", dict(FAILED, must_fail=True), None),
    ("a failed flush let pass", dict(CLEAN, must_fail=True), "the failed call went unreported"),
    ("a failed unlink leaves its temporary", dict(FAILED, failed_unlink=True, left={".timingcalc-0123abcd.tmp"},
                                                  next_left={".timingcalc-0123abcd.tmp"}), None),
    ("a torn file", dict(KILLED, data=b"new"), "neither old nor new (3 bytes)"),
    ("an empty file", dict(FAILED, data=b""), "neither old nor new (0 bytes)"),
    ("the old and new bytes run together", dict(CLEAN, data=OLD + NEW), "neither old nor new"),
    ("success with the old bytes", dict(CLEAN, data=OLD), "reported success but the file holds the old bytes"),
    ("the kill never came", dict(KILLED, killed=False, status=0), "not killed"),
    ("an abort", dict(FAILED, status=-6), "exit -6, not 0 or 1"),
    ("exit 2", dict(FAILED, status=2), "exit 2, not 0 or 1"),
    ("a failure without the file's name", dict(FAILED, stderr="Error: No space left on device"),
     "does not name the file"),
    ("a failure that leaves its temporary",
     dict(FAILED, left={".timingcalc-0123abcd.tmp"}, next_left={".timingcalc-0123abcd.tmp"}),
     "left 1 temporaries (at most 0)"),
    ("killed, two temporaries", dict(KILLED, left={".timingcalc-0123abcd.tmp", ".timingcalc-9999abcd.tmp"},
                                     next_left={".timingcalc-0123abcd.tmp", ".timingcalc-9999abcd.tmp"}),
     "left 2 temporaries (at most 1)"),
    ("a stray file", dict(FAILED, left={"CDI.asm~"}, next_left={"CDI.asm~"}), "not its temporary: ['CDI.asm~']"),
    ("the next save fails", dict(KILLED, next_status=1), "the next save exits 1"),
    ("the next save keeps the old bytes", dict(KILLED, next_data=OLD), "did not give the new bytes"),
    ("the next save removes the other's temporary", dict(KILLED, next_left=set()),
     "removed another's temporary: ['.timingcalc-0123abcd.tmp']"),
    ("the next save leaves its own", dict(CLEAN, next_left={".timingcalc-5555abcd.tmp"}),
     "the next save left a temporary"),
]

TWO_THREADS = """\
7  openat(AT_FDCWD</w>, "/etc/ld.so.cache", O_RDONLY|O_CLOEXEC) = 3</etc/ld.so.cache>
7  close(3</etc/ld.so.cache>) = 0
7  openat(AT_FDCWD</w>, "/d/CDI.asm", O_RDONLY) = 3</d/CDI.asm>
7  clone3({flags=CLONE_VM|CLONE_THREAD}, 88 <unfinished ...>
8  openat(AT_FDCWD</w>, "/d/.timingcalc-0123abcd.tmp", O_WRONLY|O_CREAT|O_EXCL, 0600 <unfinished ...>
7  <... clone3 resumed> => {parent_tid=[8]}, 88) = 8
8  <... openat resumed>) = 4</d/.timingcalc-0123abcd.tmp>
7  close(3</d/CDI.asm>) = 0
8  rename("/d/.timingcalc-0123abcd.tmp", "/d/CDI.asm") = ?
8  +++ killed by SIGKILL +++
"""

# name | log | the save's calls (thread, name, nth), or the parse's answer
PARSE_CASES = [
    ("the loader's calls are not the save's, nor a write to a pipe, though counted", CLEAN_LOG, "save",
     [(0, "newfstatat", 1), (0, "openat", 2), (0, "read", 1), (0, "close", 2), (0, "openat", 3),
      (0, "write", 2), (0, "write", 3), (0, "fchown", 1), (0, "fchmod", 1), (0, "fdatasync", 1),
      (0, "close", 3), (0, "rename", 1), (0, "openat", 4), (0, "fsync", 1), (0, "close", 4)]),
    ("each thread counts from 1, resumed calls once", TWO_THREADS, "save",
     [(0, "openat", 2), (1, "openat", 1), (0, "close", 2), (1, "rename", 1)]),
    ("a kill and the call it came at", TWO_THREADS, "killed", (True, "?")),
    ("an unfinished call gets its result", TWO_THREADS, "resumed", "4</d/.timingcalc-0123abcd.tmp>"),
]

# name | a call that failed | whether the save must then report a failure
CARRIES_CASES = [
    ("the bytes to the temporary", '3  write(3</d/.timingcalc-0123abcd.tmp>, "new", 3) = -1 ENOSPC', True),
    ("a message to the terminal", '3  write(2</dev/pts/0>, "Error", 5) = -1 ENOSPC', False),
    ("the data's flush", "3  fdatasync(3</d/.timingcalc-0123abcd.tmp>) = -1 EIO", True),
    ("the folder's flush", "3  fsync(3</d>) = -1 EIO", True),
    ("the temporary's close", "3  close(3</d/.timingcalc-0123abcd.tmp>) = -1 EIO", True),
    ("the close of the file read", "3  close(3</d/CDI.asm>) = -1 EIO", False),
    ("the rename", '3  rename("/d/.timingcalc-0123abcd.tmp", "/d/CDI.asm") = -1 EIO', True),
    ("the owner, which a user may not give", "3  fchown(3</d/.timingcalc-0123abcd.tmp>, 0, 0) = -1 EIO", False),
]


def checks():
    failures = 0

    def expect(name, got, want):
        nonlocal failures
        ok = (not got) if want is None else (want in got if isinstance(want, str) and isinstance(got, str)
                                             else got == want)
        print(f"{'ok  ' if ok else 'FAIL'} {name}" + ("" if ok else f": got {got!r}, want {want!r}"))
        failures += not ok

    for name, change, want in ORDER_CASES:
        calls, _ = parse("\n".join(change(CLEAN_LOG.splitlines())))
        save = Save(folder="/d", target="/d/CDI.asm", uid=1000, gid=100, mode=0o640, size=len(NEW))
        expect(f"order: {name}", "\n".join(check_order(calls, save)), want)
    for name, fields, want in JUDGE_CASES:
        expect(f"judge: {name}", "\n".join(judge(Outcome(**fields), OLD, NEW)), want)
    for name, line, want in CARRIES_CASES:
        calls, _ = parse(line)
        expect(f"carries the save: {name}", carries_the_save(calls[0], "/d"), want)
    for name, log, what, want in PARSE_CASES:
        calls, killed = parse(log)
        if what == "save":
            got = [(c.thread, c.name, c.nth) for c in save_calls(calls, "/d")]
        elif what == "killed":
            got = (killed, next(c.result for c in calls if c.name == "rename"))
        else:
            got = next(c.result for c in calls if c.tid == 8 and c.name == "openat")
        expect(f"parse: {name}", got, want)
    return 1 if failures else 0


def main(argv):
    if len(argv) == 2 and argv[1] == "checks":
        return checks()
    if len(argv) != 4 or argv[1] not in ("inject", "order"):
        sys.exit(__doc__)
    if not shutil.which("strace"):
        sys.exit("strace is not installed (Debian's strace package)")
    work = tempfile.mkdtemp(prefix="crash-")
    try:
        bench = Bench(os.path.abspath(argv[2]), argv[3], work)
        return inject_all(bench) if argv[1] == "inject" else order(bench)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
