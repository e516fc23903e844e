#!/usr/bin/python3
"""The test FTP server with a forged listing: a real server cannot list names with "/" or over
255 bytes, a hostile or broken one can. Every NLST answers the names of NAMES_FILE (one name a
line, hex-encoded, so any byte can be in a name); every RETR of a listed name answers DATA_FILE,
so that a client that trusted a name would write that file somewhere.
usage: forged_listing_ftp.py PORT ROOT PASSWORD NAMES_FILE DATA_FILE
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "servers"))
import ftp_server  # noqa: E402
from pyftpdlib.servers import FTPServer  # noqa: E402


def forged_names(path):
    with open(path, "rb") as f:
        return [bytes.fromhex(line.strip().decode("ascii")) for line in f if line.strip()]


class Forging(ftp_server.Handler):
    names_file = ""
    data_file = ""

    def ftp_NLST(self, path):
        data = b"".join(n + b"\r\n" for n in forged_names(self.names_file))
        self.push_dtp_data(data, cmd="NLST")
        return path

    def forged_data(self):
        with open(self.data_file, "rb") as f:
            return f.read()

    def pre_process_command(self, line, cmd, arg):
        # The forged names do not exist: answer SIZE and RETR without the path checks of the
        # base class.
        if cmd == "SIZE" and self.authenticated:
            self.respond("213 %d" % len(self.forged_data()))
            return
        if cmd == "RETR" and self.authenticated:
            self.push_dtp_data(self.forged_data(), cmd="RETR")
            return
        return super().pre_process_command(line, cmd, arg)


def main():
    port, root, password = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    Forging.names_file, Forging.data_file = sys.argv[4], sys.argv[5]
    os.makedirs(root, exist_ok=True)
    Forging.authorizer = ftp_server.PerUserHomes(root, password)
    Forging.passive_ports = None
    Forging.permit_foreign_addresses = False
    Forging.use_encoding = "utf8"
    Forging.unicode_errors = "surrogateescape"
    Forging.banner = "PAYDESK forged-listing FTP server ready."
    server = FTPServer(("127.0.0.1", port), Forging)
    server.serve_forever()


if __name__ == "__main__":
    main()
