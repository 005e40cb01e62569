-- The plant table of the SQL source tests, the end-to-end test and the benchmark.
-- pd: one value per tag and time; the rows of FI101 come back in this order.
create table pd (tag varchar(40), ts timestamp, val double precision);
create index pd_tag_ts on pd (tag, ts);
insert into pd values
  ('FI101', '2026-12-07 09:00', 1.5),
  ('FI101', '2026-12-07 09:30', 2.5),
  ('FI101', '2026-12-07 10:00', 3.5),
  ('O''BRIEN.PV', '2026-12-07 10:00', 4.25);
-- A running unit and a stopped one, a value every minute of two days.
insert into pd select 'UNIT1.RUN', ts, 1 from generate_series(timestamp '2026-12-07 00:00', '2026-12-08 23:59', '1 minute') ts;
insert into pd select 'UNIT2.RUN', ts, 0 from generate_series(timestamp '2026-12-07 00:00', '2026-12-08 23:59', '1 minute') ts;

-- pdtext: values written as text, as some plant tables hold them.
create table pdtext (tag varchar(40), ts timestamp, val varchar(20));
insert into pdtext values
  ('TXT.NUM', '2026-12-07 10:00', ' 12.5 '),
  ('TXT.EXP', '2026-12-07 10:00', '-1.5E-3'),
  ('TXT.BAD', '2026-12-07 10:00', 'abc'),
  ('TXT.NULL', '2026-12-07 10:00', null);

-- piarchive.piavg: what PI's own SQL reads through the PI reader's OLE DB path (apiado=1).
create schema piarchive;
create table piarchive.piavg (tag varchar(40), time timestamp, value double precision);
insert into piarchive.piavg values
  ('UNIT1.RUN', '2026-12-07 10:14:30', 1),
  ('UNIT2.RUN', '2026-12-07 10:14:30', 0);
analyze;
