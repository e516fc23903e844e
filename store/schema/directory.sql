-- Facility directory: where each facility's care-facility database is. Every value but sicode
-- is the hexadecimal text of AES_ENCRYPT under the shared key.
CREATE TABLE server_info (
  sicode VARCHAR(20)  NOT NULL,
  Host   VARCHAR(512) NOT NULL DEFAULT '',
  port   VARCHAR(512) NOT NULL DEFAULT '',
  user   VARCHAR(512) NOT NULL DEFAULT '',
  pw     VARCHAR(512) NOT NULL DEFAULT '',
  db     VARCHAR(512) NOT NULL DEFAULT '',
  PRIMARY KEY (sicode)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;
