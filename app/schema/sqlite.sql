-- The school's database for the built-in file engine (SQLite).
-- Text columns hold UTF-8; sizes count the bytes of the 8-bit (GBK) form.
-- Dates are ISO text: 'yyyy-mm-dd' at midnight, 'yyyy-mm-dd hh:nn:ss' otherwise.
-- Booleans are 0 and 1.

create table Company (
  Id int not null primary key,
  CompanyName varchar(100),
  Manager varchar(50),
  Tel varchar(50),
  Fax varchar(50),
  Address varchar(200),
  Zip varchar(20),
  Profile memo,
  Updated bit
);

create table operator (
  LoginId varchar(50) not null primary key,
  [Password] varchar(50),
  Name varchar(50),
  Contact varchar(100),
  [Note] varchar(200),
  Rights memo
);

create table options (
  [Key] int not null primary key,
  [Label] varchar(50),
  [List] memo
);

create table keyvalue (
  KeyId int not null primary key,
  Vint int,
  Vstr memo,
  Vfloat float,
  Vbool bit
);

create table employees (
  Id int not null primary key,
  Name varchar(20),
  Duty varchar(30),
  Sex varchar(10),
  Tel varchar(50),
  Birthday datetime,
  Addr varchar(50),
  Notes memo
);

create table cars (
  Id int not null primary key,
  CarNo varchar(50),
  Brand varchar(50),
  PartNo varchar(50),
  Engino varchar(50),
  Cartype varchar(50),
  Manudate datetime,
  BedNo varchar(50),
  Color varchar(50),
  Seats int,
  Weight float,
  Notes memo,
  Buydate datetime,
  BuyFund float
);

create table recitems (
  Id int not null primary key,
  Name varchar(30),
  Notes varchar(50)
);

create table examitems (
  Id int not null primary key,
  Name varchar(30),
  Notes varchar(50)
);

create table students (
  Id int not null primary key,
  Name varchar(30),
  Sex varchar(6),
  Idcode varchar(30),
  LinkTel varchar(50),
  Addr varchar(50),
  Native varchar(20),
  Notes memo,
  Signdate datetime,
  Drivetype varchar(20),
  SalemanId int,
  Passinfo varchar(255),
  Appsinfo varchar(255)
);

create table receipts (
  Id int not null primary key,
  StudentId int not null,
  Recdate datetime,
  RecItemId int,
  RecSign int,
  Recfund float,
  Treasurer varchar(30),
  dlNote varchar(50)
);
create index receipts_student on receipts (StudentId);

create table exams (
  Id int not null primary key,
  StudentId int not null,
  Appdate datetime,
  Examdate datetime,
  ItemId int,
  Point int,
  IsPass bit,
  dlNote varchar(50)
);
create index exams_student on exams (StudentId);

create table classes (
  StudentId int not null primary key,
  Classdate datetime,
  Classname varchar(50),
  TeacherId int,
  CarId int,
  Notes varchar(150)
);

create table graduates (
  StudentId int not null primary key,
  Grantdate datetime,
  Validate datetime,
  Valimonth int,
  DocumentNo varchar(50),
  Drivetype varchar(30),
  Takedate datetime,
  Handman varchar(30),
  Notes varchar(150)
);

create table dropouts (
  StudentId int not null primary key,
  Dropdate datetime,
  Reasons varchar(50),
  Retfund float,
  Handman varchar(30),
  Notes varchar(50)
);

create table report (
  Id int not null primary key,
  GrpId int,
  Title nvarchar(100),
  Fr3File blob
);

create table syscols (
  F02 int not null primary key,
  F06 memo
);

create table [backup] (
  TypeId int,
  BackDir varchar(255)
);

-- The built-in administrator (empty password) and the one backup plan row.
insert into operator (LoginId, [Password], Name, Contact, [Note], Rights)
  values ('sa', '', '系统管理员', '', '', '');
insert into [backup] (TypeId, BackDir) values (0, '');
