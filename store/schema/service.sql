-- Service database: companies, payers, withdrawal requests and their results.
-- Text columns in euckr, as on the production servers.

CREATE TABLE cms_company (
  id          VARCHAR(50)  NOT NULL,
  pw          VARCHAR(50)  NOT NULL,
  serviceid   VARCHAR(20)  NOT NULL DEFAULT '',
  apikey      VARCHAR(100) NOT NULL DEFAULT '',
  comptype    VARCHAR(20)  NOT NULL DEFAULT '',
  compno      VARCHAR(10)  NOT NULL,
  compname    VARCHAR(100) NOT NULL DEFAULT '',
  sitype      VARCHAR(20)  NOT NULL DEFAULT '',
  sicode      VARCHAR(20)  NOT NULL DEFAULT '',
  tel         VARCHAR(20)  NOT NULL DEFAULT '',
  addr        VARCHAR(200) NOT NULL DEFAULT '',
  email       VARCHAR(100) NOT NULL DEFAULT '',
  recdatetime DATETIME(3)  NULL,
  UNIQUE KEY uq_company_id (id),
  UNIQUE KEY uq_company_compno (compno),
  KEY ix_company_sicode (sicode),
  KEY ix_company_serviceid (serviceid)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

-- One row per payer. The key makes two inserts that computed the same number collide instead
-- of storing two payers under one number.
CREATE TABLE cms_user (
  serviceid   VARCHAR(20)  NOT NULL,
  userid      VARCHAR(30)  NOT NULL,
  dlbid       VARCHAR(30)  NULL DEFAULT NULL,
  groupname   VARCHAR(50)  NOT NULL DEFAULT '',
  username    VARCHAR(50)  NOT NULL DEFAULT '',
  bankcode    VARCHAR(3)   NOT NULL DEFAULT '',
  account     VARCHAR(30)  NOT NULL DEFAULT '',
  accountname VARCHAR(50)  NOT NULL DEFAULT '',
  birth       VARCHAR(10)  NOT NULL DEFAULT '',
  tel         VARCHAR(20)  NOT NULL DEFAULT '',
  memo        VARCHAR(1000) NOT NULL DEFAULT '',
  stat        VARCHAR(10)  NOT NULL DEFAULT '등록대기',
  startdate   VARCHAR(10)  NOT NULL DEFAULT '9999-99-99',
  enddate     VARCHAR(10)  NOT NULL DEFAULT '9999-99-99',
  recdatetime DATETIME(3)  NULL,
  PRIMARY KEY (serviceid, userid),
  KEY ix_user_dlbid (serviceid, dlbid)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

CREATE TABLE cms_bill (
  serviceid   VARCHAR(20)  NOT NULL,
  userid      VARCHAR(30)  NOT NULL,
  billdate    VARCHAR(10)  NOT NULL,
  bankcode    VARCHAR(3)   NOT NULL DEFAULT '',
  account     VARCHAR(30)  NOT NULL DEFAULT '',
  accountname VARCHAR(50)  NOT NULL DEFAULT '',
  amount      BIGINT       NULL,
  stat        VARCHAR(10)  NOT NULL DEFAULT '발송대기',
  recdatetime DATETIME(3)  NULL,
  PRIMARY KEY (serviceid, userid, billdate),
  KEY ix_bill_date (serviceid, billdate)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

CREATE TABLE cms_bill_his (
  serviceid    VARCHAR(20)  NOT NULL,
  userid       VARCHAR(30)  NOT NULL,
  billdate     VARCHAR(10)  NOT NULL,
  resultamount BIGINT       NULL,
  resultname   VARCHAR(100) NOT NULL DEFAULT '',
  recdatetime  DATETIME(3)  NULL,
  PRIMARY KEY (serviceid, userid, billdate)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;
