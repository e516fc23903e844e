#!/usr/bin/python3
"""Starts and stops the real servers of a test run or of the demo, all on loopback.

  servers.py start DIR   fresh MariaDB data directory, a second MariaDB whose clock the tests
                         can move (libfaketime), and the FTP server; writes DIR/servers.ini
  servers.py stop DIR    stops what start left running, also after a failed run
  servers.py start-db DIR [PORT]
                         one MariaDB only, for tests that kill or restart it: installs a data
                         directory under DIR when there is none, else starts on the data that is
                         there (after a crash: the server's own recovery); writes DIR/servers.ini

The servers are the parts the tests talk to; nothing here knows the program's tables: the
test support and the demo create their databases from the schema files in store/.
"""
import configparser
import os
import shutil
import signal
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DB_USER = "paydesk"
DB_PASSWORD = "pd-test-7315"
FTP_PASSWORD = "ftp-test-5577"


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_port(port, proc, seconds, what):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if proc.poll() is not None:
            raise RuntimeError(f"{what} exited early with code {proc.returncode}")
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return
        except OSError:
            time.sleep(0.1)
    raise RuntimeError(f"{what} did not open port {port} within {seconds} s")


def find_faketime_lib():
    for cand in ("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
                 "/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1",
                 "/usr/lib/faketime/libfaketime.so.1"):
        if os.path.exists(cand):
            return cand
    return ""


def install_db(datadir, log):
    subprocess.run(["mariadb-install-db", "--no-defaults", f"--datadir={datadir}",
                    "--auth-root-authentication-method=normal", "--skip-test-db",
                    "--user=root", "--skip-name-resolve"],
                   stdout=log, stderr=log, check=True)


def start_mariadb(base, name, port, log, extra_env=None):
    datadir = os.path.join(base, name, "data")
    sock = os.path.join(base, name, "mysql.sock")
    os.makedirs(os.path.dirname(datadir), exist_ok=True)
    env = dict(os.environ)
    if extra_env:
        env.update(extra_env)
    args = ["mariadbd", "--no-defaults", f"--datadir={datadir}", f"--socket={sock}",
            f"--port={port}", "--bind-address=127.0.0.1", "--skip-name-resolve", "--user=root",
            f"--pid-file={os.path.join(base, name, 'mariadbd.pid')}",
            f"--log-error={os.path.join(base, name, 'error.log')}",
            "--innodb-buffer-pool-size=64M", "--innodb-log-file-size=32M",
            "--innodb-flush-log-at-trx-commit=2", "--skip-log-bin", "--max-connections=300",
            "--character-set-server=utf8mb4", "--collation-server=utf8mb4_general_ci"]
    proc = subprocess.Popen(args, stdout=log, stderr=log, env=env, start_new_session=True)
    wait_port(port, proc, 60, f"MariaDB {name}")
    return proc, sock


def bootstrap_users(sock, log):
    sql = (f"CREATE USER IF NOT EXISTS '{DB_USER}'@'127.0.0.1' IDENTIFIED BY '{DB_PASSWORD}';"
           f"CREATE USER IF NOT EXISTS '{DB_USER}'@'localhost' IDENTIFIED BY '{DB_PASSWORD}';"
           f"GRANT ALL PRIVILEGES ON *.* TO '{DB_USER}'@'127.0.0.1' WITH GRANT OPTION;"
           f"GRANT ALL PRIVILEGES ON *.* TO '{DB_USER}'@'localhost' WITH GRANT OPTION;"
           "FLUSH PRIVILEGES;")
    for _ in range(50):
        r = subprocess.run(["mariadb", "--no-defaults", "-uroot", f"--socket={sock}", "-e", sql],
                           stdout=log, stderr=log)
        if r.returncode == 0:
            return
        time.sleep(0.2)
    raise RuntimeError("could not create the test user")


def start(base, demo=False):
    stop(base, quiet=True)
    if os.path.isdir(base) and not demo:
        shutil.rmtree(base)
    os.makedirs(base, exist_ok=True)
    log = open(os.path.join(base, "servers.log"), "ab")
    cfg = configparser.ConfigParser()
    pids = []

    def keep(pid):
        # Written at once, so that a start failing half-way still leaves nothing behind.
        pids.append(pid)
        with open(os.path.join(base, "pids"), "w") as f:
            f.write("\n".join(str(p) for p in pids) + "\n")

    db_dir = os.path.join(base, "db", "data")
    fresh = not os.path.isdir(db_dir)
    if fresh:
        os.makedirs(db_dir)
        install_db(db_dir, log)
    db_port = free_port()
    proc, sock = start_mariadb(base, "db", db_port, log)
    keep(proc.pid)
    bootstrap_users(sock, log)
    cfg["db"] = {"host": "127.0.0.1", "port": str(db_port), "user": DB_USER,
                 "password": DB_PASSWORD, "socket": sock, "pid": str(proc.pid),
                 "datadir": db_dir}

    if not demo:
        # A second server whose clock the tests move through a time file: the deadline rules
        # read the server's now().
        clock_dir = os.path.join(base, "clockdb", "data")
        os.makedirs(clock_dir)
        install_db(clock_dir, log)
        time_file = os.path.join(base, "clockdb", "faketime")
        with open(time_file, "w") as f:
            f.write("+0\n")
        lib = find_faketime_lib()
        env = {}
        if lib:
            env = {"LD_PRELOAD": lib, "FAKETIME_TIMESTAMP_FILE": time_file,
                   "FAKETIME_NO_CACHE": "1", "FAKETIME_DONT_FAKE_MONOTONIC": "1"}
        clock_port = free_port()
        cproc, csock = start_mariadb(base, "clockdb", clock_port, log, env)
        keep(cproc.pid)
        bootstrap_users(csock, log)
        cfg["clockdb"] = {"host": "127.0.0.1", "port": str(clock_port), "user": DB_USER,
                          "password": DB_PASSWORD, "socket": csock, "pid": str(cproc.pid),
                          "timefile": time_file, "faketime": "1" if lib else "0"}

    ftp_root = os.path.join(base, "ftp-root")
    os.makedirs(ftp_root, exist_ok=True)
    ftp_port = free_port()
    fproc = subprocess.Popen(["/usr/bin/python3", os.path.join(HERE, "ftp_server.py"),
                              str(ftp_port), ftp_root, FTP_PASSWORD],
                             stdout=log, stderr=log, start_new_session=True)
    wait_port(ftp_port, fproc, 30, "FTP server")
    keep(fproc.pid)
    cfg["ftp"] = {"host": "127.0.0.1", "port": str(ftp_port), "password": FTP_PASSWORD,
                  "root": ftp_root, "pid": str(fproc.pid)}

    with open(os.path.join(base, "servers.ini"), "w") as f:
        cfg.write(f)
    print(f"servers up: db {db_port}, ftp {ftp_port}" +
          (f", clockdb {cfg['clockdb']['port']}" if "clockdb" in cfg else ""))


def start_db(base, port=None):
    os.makedirs(base, exist_ok=True)
    log = open(os.path.join(base, "servers.log"), "ab")
    db_dir = os.path.join(base, "db", "data")
    if not os.path.isdir(db_dir):
        os.makedirs(db_dir)
        install_db(db_dir, log)
    port = port or free_port()
    proc, sock = start_mariadb(base, "db", port, log)
    # The earlier server of DIR is gone (stopped or killed): only this one is left to stop.
    with open(os.path.join(base, "pids"), "w") as f:
        f.write(f"{proc.pid}\n")
    bootstrap_users(sock, log)
    cfg = configparser.ConfigParser()
    cfg["db"] = {"host": "127.0.0.1", "port": str(port), "user": DB_USER,
                 "password": DB_PASSWORD, "socket": sock, "pid": str(proc.pid),
                 "datadir": db_dir}
    with open(os.path.join(base, "servers.ini"), "w") as f:
        cfg.write(f)
    print(f"db up: {port}")


def stop(base, quiet=False):
    pidfile = os.path.join(base, "pids")
    if not os.path.exists(pidfile):
        if not quiet:
            print("no servers running")
        return
    pids = [int(p) for p in open(pidfile).read().split()]
    for pid in pids:
        try:
            os.killpg(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    deadline = time.time() + 20
    for pid in pids:
        while time.time() < deadline:
            try:
                os.kill(pid, 0)
            except ProcessLookupError:
                break
            try:
                os.waitpid(pid, os.WNOHANG)
            except ChildProcessError:
                pass
            time.sleep(0.1)
        else:
            try:
                os.killpg(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
    os.remove(pidfile)
    if not quiet:
        print("servers stopped")


if __name__ == "__main__":
    if len(sys.argv) < 3 or sys.argv[1] not in ("start", "stop", "start-demo", "start-db"):
        print(__doc__)
        sys.exit(2)
    try:
        if sys.argv[1] == "start":
            start(os.path.abspath(sys.argv[2]))
        elif sys.argv[1] == "start-db":
            start_db(os.path.abspath(sys.argv[2]), int(sys.argv[3]) if len(sys.argv) > 3 else None)
        elif sys.argv[1] == "start-demo":
            start(os.path.abspath(sys.argv[2]), demo=True)
        else:
            stop(os.path.abspath(sys.argv[2]))
    except Exception as e:  # the fixture must fail loudly, and leave nothing behind
        print(f"servers.py: {e}", file=sys.stderr)
        try:
            stop(os.path.abspath(sys.argv[2]), quiet=True)
        except Exception:
            pass
        sys.exit(1)
