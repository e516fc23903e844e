-- Care-facility database of the 온돌봄 product (read only for this program): beneficiaries,
-- billed amounts per month and payments. Only the columns the program relies on.
CREATE TABLE base_mate (
  sicode     VARCHAR(20)  NOT NULL,
  m_code     VARCHAR(30)  NOT NULL,
  m_name     VARCHAR(50)  NOT NULL DEFAULT '',
  m_regist   VARCHAR(30)  NOT NULL DEFAULT '',
  `성별`     VARCHAR(4)   NOT NULL DEFAULT '',
  m_jumin1   VARCHAR(6)   NULL,
  `등급`     VARCHAR(10)  NOT NULL DEFAULT '',
  m_phone1   VARCHAR(20)  NULL,
  m_phone2   VARCHAR(20)  NULL,
  `거주현황` VARCHAR(10)  NOT NULL DEFAULT '사용중',
  PRIMARY KEY (sicode, m_code)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

CREATE TABLE base_demand (
  sicode       VARCHAR(20) NOT NULL,
  de_code      VARCHAR(30) NOT NULL,
  de_year      VARCHAR(4)  NOT NULL,
  de_wol       VARCHAR(2)  NOT NULL,
  `청구합계`   BIGINT      NULL,
  `이전미납금` BIGINT      NULL,
  PRIMARY KEY (sicode, de_code, de_year, de_wol)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

CREATE TABLE base_income (
  id           INT         NOT NULL AUTO_INCREMENT,
  sicode       VARCHAR(20) NOT NULL,
  in_code      VARCHAR(30) NOT NULL,
  in_year      VARCHAR(4)  NOT NULL,
  in_wol       VARCHAR(2)  NOT NULL,
  `입금금액`   BIGINT      NULL,
  `조정금액`   BIGINT      NULL,
  PRIMARY KEY (id),
  KEY ix_income_code (sicode, in_code, in_year, in_wol)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;
