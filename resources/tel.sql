-- Corvane's database, tel.mdb. The build creates it from this script only when
-- the file is absent; an installed copy makes each user's own from it on the
-- first start. The program never replaces a tel.mdb that has gone missing.

-- Made in WAL mode, so that even its first use needs no write lock and a
-- lookup reads beside another program writing.
PRAGMA journal_mode=WAL;

CREATE TABLE customer (
    id           INTEGER PRIMARY KEY AUTOINCREMENT,
    customercode TEXT,
    customername TEXT,
    address      TEXT,
    code         TEXT,
    person       TEXT,
    tel          TEXT,
    email        TEXT,
    qq           TEXT
);

CREATE TABLE detail (
    id           INTEGER PRIMARY KEY AUTOINCREMENT,
    adate        TEXT,
    atime        TEXT,
    tel          TEXT,
    customercode TEXT,
    customername TEXT
);

CREATE TABLE ring (
    code TEXT,
    bz   TEXT
);

INSERT INTO ring (code, bz) VALUES ('1', '1');
INSERT INTO ring (code, bz) VALUES ('2', '0');
INSERT INTO ring (code, bz) VALUES ('3', '0');

CREATE INDEX customer_tel ON customer (tel);
CREATE INDEX customer_customercode ON customer (customercode);
CREATE INDEX detail_adate ON detail (adate);
CREATE INDEX detail_customercode ON detail (customercode);
