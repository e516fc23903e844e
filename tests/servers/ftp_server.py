#!/usr/bin/python3
"""FTP server of the tests and the demo (pyftpdlib), passive mode on loopback.

Every user name made of letters, digits, "_", "-" and "." logs in with the one password and
starts in ROOT/<user name>, so that test programs running side by side never share files.
A user whose name starts with "noopts" gets an error reply to OPTS, as some servers give.
usage: ftp_server.py PORT ROOT PASSWORD
"""
import os
import re
import sys
import threading

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

NAME = re.compile(r"^[A-Za-z0-9_.-]{1,64}$")


class PerUserHomes(DummyAuthorizer):
    def __init__(self, root, password):
        super().__init__()
        self.root = root
        self.password = password
        self.lock = threading.Lock()

    def _home(self, username):
        return os.path.join(self.root, username)

    def validate_authentication(self, username, password, handler):
        if not NAME.match(username) or username in (".", "..") or password != self.password:
            raise AuthenticationFailed("Authentication failed.")
        home = self._home(username)
        os.makedirs(home, exist_ok=True)
        with self.lock:
            if not self.has_user(username):
                self.add_user(username, password, home, perm="elradfmwMT")

    def get_home_dir(self, username):
        return self._home(username)

    def has_perm(self, username, perm, path=None):
        return self.has_user(username) and super().has_perm(username, perm, path)


class Handler(FTPHandler):
    safe_dir = "/"

    def ftp_CWD(self, path):
        # pyftpdlib tries a CWD by changing the process's own working folder and changing back.
        # A test that removes its home while a session is inside would leave the process in a
        # removed folder and fail every later CWD of every session; start and end in a folder
        # that stays.
        os.chdir(self.safe_dir)
        try:
            return super().ftp_CWD(path)
        finally:
            try:
                os.chdir(self.safe_dir)
            except OSError:
                pass

    def ftp_OPTS(self, line):
        if self.username and self.username.startswith("noopts"):
            self.respond("501 Invalid argument.")
            return
        if line.strip().upper() in ("UTF8 ON", "UTF8"):
            # Names are UTF-8 already; say so, as common servers do.
            self.respond("200 Always in UTF8 mode.")
            return
        return super().ftp_OPTS(line)


def main():
    port, root, password = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    os.makedirs(root, exist_ok=True)
    os.chdir(root)
    handler = Handler
    handler.safe_dir = root
    handler.authorizer = PerUserHomes(root, password)
    handler.passive_ports = None
    handler.permit_foreign_addresses = False
    handler.use_encoding = "utf8"
    handler.banner = "PAYDESK test FTP server ready."
    # One thread for every session: pyftpdlib changes the process's working folder while it
    # serves CWD, so sessions in threads of one process would step on each other.
    server = FTPServer(("127.0.0.1", port), handler)
    server.max_cons = 256
    server.serve_forever()


if __name__ == "__main__":
    main()
