-- The school's database on SQL Server (reached over ODBC).
-- Texts are varchar in a Chinese collation, so that their byte sizes are the
-- sizes of the 8-bit (GBK) form; long texts are varchar(max)/nvarchar(max).
-- IsPass is an integer: the program reads it through abs(), which SQL Server
-- does not allow on bit.

create table Company (
  Id int not null primary key,
  CompanyName varchar(100) collate Chinese_PRC_CI_AS,
  Manager varchar(50) collate Chinese_PRC_CI_AS,
  Tel varchar(50) collate Chinese_PRC_CI_AS,
  Fax varchar(50) collate Chinese_PRC_CI_AS,
  Address varchar(200) collate Chinese_PRC_CI_AS,
  Zip varchar(20) collate Chinese_PRC_CI_AS,
  Profile nvarchar(max),
  Updated bit
);

create table operator (
  LoginId varchar(50) collate Chinese_PRC_CI_AS not null primary key,
  [Password] varchar(50) collate Chinese_PRC_CI_AS,
  Name varchar(50) collate Chinese_PRC_CI_AS,
  Contact varchar(100) collate Chinese_PRC_CI_AS,
  [Note] varchar(200) collate Chinese_PRC_CI_AS,
  Rights varchar(max) collate Chinese_PRC_CI_AS
);

create table options (
  [Key] int not null primary key,
  [Label] varchar(50) collate Chinese_PRC_CI_AS,
  [List] varchar(max) collate Chinese_PRC_CI_AS
);

create table keyvalue (
  KeyId int not null primary key,
  Vint int,
  Vstr varchar(max) collate Chinese_PRC_CI_AS,
  Vfloat float,
  Vbool bit
);

create table employees (
  Id int not null primary key,
  Name varchar(20) collate Chinese_PRC_CI_AS,
  Duty varchar(30) collate Chinese_PRC_CI_AS,
  Sex varchar(10) collate Chinese_PRC_CI_AS,
  Tel varchar(50) collate Chinese_PRC_CI_AS,
  Birthday datetime,
  Addr varchar(50) collate Chinese_PRC_CI_AS,
  Notes varchar(max) collate Chinese_PRC_CI_AS
);

create table cars (
  Id int not null primary key,
  CarNo varchar(50) collate Chinese_PRC_CI_AS,
  Brand varchar(50) collate Chinese_PRC_CI_AS,
  PartNo varchar(50) collate Chinese_PRC_CI_AS,
  Engino varchar(50) collate Chinese_PRC_CI_AS,
  Cartype varchar(50) collate Chinese_PRC_CI_AS,
  Manudate datetime,
  BedNo varchar(50) collate Chinese_PRC_CI_AS,
  Color varchar(50) collate Chinese_PRC_CI_AS,
  Seats int,
  Weight float,
  Notes varchar(max) collate Chinese_PRC_CI_AS,
  Buydate datetime,
  BuyFund float
);

create table recitems (
  Id int not null primary key,
  Name varchar(30) collate Chinese_PRC_CI_AS,
  Notes varchar(50) collate Chinese_PRC_CI_AS
);

create table examitems (
  Id int not null primary key,
  Name varchar(30) collate Chinese_PRC_CI_AS,
  Notes varchar(50) collate Chinese_PRC_CI_AS
);

create table students (
  Id int not null primary key,
  Name varchar(30) collate Chinese_PRC_CI_AS,
  Sex varchar(6) collate Chinese_PRC_CI_AS,
  Idcode varchar(30) collate Chinese_PRC_CI_AS,
  LinkTel varchar(50) collate Chinese_PRC_CI_AS,
  Addr varchar(50) collate Chinese_PRC_CI_AS,
  Native varchar(20) collate Chinese_PRC_CI_AS,
  Notes varchar(max) collate Chinese_PRC_CI_AS,
  Signdate datetime,
  Drivetype varchar(20) collate Chinese_PRC_CI_AS,
  SalemanId int,
  Passinfo varchar(255) collate Chinese_PRC_CI_AS,
  Appsinfo varchar(255) collate Chinese_PRC_CI_AS
);

create table receipts (
  Id int not null primary key,
  StudentId int not null,
  Recdate datetime,
  RecItemId int,
  RecSign int,
  Recfund float,
  Treasurer varchar(30) collate Chinese_PRC_CI_AS,
  dlNote varchar(50) collate Chinese_PRC_CI_AS
);
create index receipts_student on receipts (StudentId);

create table exams (
  Id int not null primary key,
  StudentId int not null,
  Appdate datetime,
  Examdate datetime,
  ItemId int,
  Point int,
  IsPass smallint,
  dlNote varchar(50) collate Chinese_PRC_CI_AS
);
create index exams_student on exams (StudentId);

create table classes (
  StudentId int not null primary key,
  Classdate datetime,
  Classname varchar(50) collate Chinese_PRC_CI_AS,
  TeacherId int,
  CarId int,
  Notes varchar(150) collate Chinese_PRC_CI_AS
);

create table graduates (
  StudentId int not null primary key,
  Grantdate datetime,
  Validate datetime,
  Valimonth int,
  DocumentNo varchar(50) collate Chinese_PRC_CI_AS,
  Drivetype varchar(30) collate Chinese_PRC_CI_AS,
  Takedate datetime,
  Handman varchar(30) collate Chinese_PRC_CI_AS,
  Notes varchar(150) collate Chinese_PRC_CI_AS
);

create table dropouts (
  StudentId int not null primary key,
  Dropdate datetime,
  Reasons varchar(50) collate Chinese_PRC_CI_AS,
  Retfund float,
  Handman varchar(30) collate Chinese_PRC_CI_AS,
  Notes varchar(50) collate Chinese_PRC_CI_AS
);

create table report (
  Id int not null primary key,
  GrpId int,
  Title nvarchar(100),
  Fr3File varbinary(max)
);

create table syscols (
  F02 int not null primary key,
  F06 nvarchar(max)
);

create table [backup] (
  TypeId int,
  BackDir varchar(255) collate Chinese_PRC_CI_AS
);

-- The built-in administrator (empty password) and the one backup plan row.
insert into operator (LoginId, [Password], Name, Contact, [Note], Rights)
  values ('sa', '', N'系统管理员', '', '', '');
insert into [backup] (TypeId, BackDir) values (0, '');
