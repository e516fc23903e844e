# Sourced by scripts/demo and scripts/screenshots (not run on its own): starts the local demo
# servers (MariaDB and FTP under .demo/, on loopback), loads the demo data on the first run,
# points the facility directory at this run's port and writes the deployment configuration.
#
#   ROOT=<checkout> BUILD=<build folder>; source scripts/demo-servers.sh; demo_start_servers
#
# Afterwards: DEMO, SERVERS, PROGRAM_DIR and CONFIG (.demo/program/paydesk.ini) are set;
# demo_stop_servers stops the servers (the caller puts it in its EXIT trap). The build must
# hold tools/paydesk_demo_assets for the first run.

DEMO="$ROOT/.demo"
SERVERS="$DEMO/servers"
PROGRAM_DIR="$DEMO/program"
CONFIG="$PROGRAM_DIR/paydesk.ini"
PY=/usr/bin/python3

demo_stop_servers() { "$PY" "$ROOT/tests/servers/servers.py" stop "$SERVERS" >/dev/null 2>&1 || true; }

demo_start_servers() {
  mkdir -p "$DEMO" "$PROGRAM_DIR" "$DEMO/desktop"
  "$PY" "$ROOT/tests/servers/servers.py" start-demo "$SERVERS"

  local DB_PORT DB_USER DB_PASS DB_SOCK FTP_PORT FTP_PASS FTP_ROOT
  ini() { "$PY" -c "import configparser,sys; c=configparser.ConfigParser(); c.read(sys.argv[1]); print(c[sys.argv[2]][sys.argv[3]])" "$SERVERS/servers.ini" "$1" "$2"; }
  DB_PORT=$(ini db port); DB_USER=$(ini db user); DB_PASS=$(ini db password); DB_SOCK=$(ini db socket)
  FTP_PORT=$(ini ftp port); FTP_PASS=$(ini ftp password); FTP_ROOT=$(ini ftp root)
  local SQL=(mariadb --no-defaults -uroot "--socket=$DB_SOCK" --default-character-set=utf8mb4)

  # First run: create the three databases from the schema files and load the demo data.
  if ! "${SQL[@]}" -e "use paydesk_svc" 2>/dev/null; then
    echo "demo: loading the demo data"
    local pair
    for pair in "paydesk_svc service" "paydesk_dir directory" "paydesk_care care"; do
      set -- $pair
      "${SQL[@]}" -e "CREATE DATABASE $1 DEFAULT CHARACTER SET euckr"
      "${SQL[@]}" "$1" < "$ROOT/store/schema/$2.sql"
    done
    "${SQL[@]}" paydesk_svc < "$ROOT/tests/data/demo/service.sql"
    "${SQL[@]}" paydesk_care < "$ROOT/tests/data/demo/care.sql"
    "$BUILD/tools/paydesk_demo_assets" "$FTP_ROOT/paydesk"
  fi
  # The facility directory points at this run's port (the servers take a free port each run).
  "${SQL[@]}" paydesk_dir -e "DELETE FROM server_info; INSERT INTO server_info (sicode, Host, port, user, pw, db) VALUES ('FAC0001', hex(aes_encrypt('127.0.0.1','kx7315')), hex(aes_encrypt('$DB_PORT','kx7315')), hex(aes_encrypt('$DB_USER','kx7315')), hex(aes_encrypt('$DB_PASS','kx7315')), hex(aes_encrypt('paydesk_care','kx7315')));"

  "$PY" - "$CONFIG" "$DB_PORT" "$DB_USER" "$DB_PASS" "$FTP_PORT" "$FTP_PASS" <<'PYEOF'
import base64, sys
path, db_port, db_user, db_pass, ftp_port, ftp_pass = sys.argv[1:]
mask = b"PAYDESK-20191029"
def conceal(s):
    b = s.encode()
    return "enc:" + base64.b64encode(bytes(c ^ mask[i % len(mask)] for i, c in enumerate(b))).decode()
with open(path, "w", encoding="utf-8") as f:
    f.write(f"""[base]
host=127.0.0.1
port={db_port}
user={db_user}
password={conceal(db_pass)}
database=paydesk_svc

[wonju]
host=127.0.0.1
port={db_port}
user={db_user}
password={conceal(db_pass)}
database=paydesk_dir

[ftp]
host=127.0.0.1
port={ftp_port}
user=paydesk
password={conceal(ftp_pass)}
passive=true

[service]
institution_code=99001234
support_tel=070-4823-1956
support_email=support@paydesk.example
""")
PYEOF
}
