<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>[options]</source>
        <translation>[选项]</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <translation>用法：%1</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>选项：</translation>
    </message>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>显示命令行选项的帮助。</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>显示版本信息。</translation>
    </message>
</context>
<context>
    <name>gzimport</name>
    <message>
        <source>The department, by its institution code (jgdm).</source>
        <translation>部门，以其机构代码 (jgdm) 指定。</translation>
    </message>
    <message>
        <source>Replace the department&apos;s people instead of adding to them.</source>
        <translation>覆盖该部门的人员，而不是追加。</translation>
    </message>
    <message>
        <source>The code file (default dm.txt in the working directory).</source>
        <translation>代码文件（默认为工作目录中的 dm.txt）。</translation>
    </message>
    <message>
        <source>Run the whole import and leave nothing in the database.</source>
        <translation>完整运行导入，但不在数据库中留下任何改动。</translation>
    </message>
    <message>
        <source>--dept CODE is required</source>
        <translation>必须给出 --dept CODE</translation>
    </message>
    <message>
        <source>Import a workbook into a department</source>
        <translation>把工作簿导入一个部门</translation>
    </message>
    <message>
        <source>Creates the personnel tables in a new SQLite file or in an empty PostgreSQL database.</source>
        <translation>在新的 SQLite 文件或空的 PostgreSQL 数据库中创建人员库的表。</translation>
    </message>
    <message>
        <source>Add a demo institution tree and a few people with history rows.</source>
        <translation>加入演示用的机构树和几个带历史记录的人员。</translation>
    </message>
    <message>
        <source>A new SQLite file, postgresql://user@host:port/name or odbc:&lt;connection string&gt;.</source>
        <translation>新的 SQLite 文件、postgresql://用户@主机:端口/库名 或 odbc:&lt;连接字符串&gt;。</translation>
    </message>
    <message>
        <source>Create the database tables (--demo: with demo data)</source>
        <translation>创建数据库的表（--demo：含演示数据）</translation>
    </message>
    <message>
        <source>Prints the people of a department and of every department below it.</source>
        <translation>列出一个部门及其所有下级部门的人员。</translation>
    </message>
    <message>
        <source>The department code (an institution code of the tree).</source>
        <translation>部门代码（机构树中的机构代码）。</translation>
    </message>
    <message>
        <source>Print the people of a department</source>
        <translation>列出一个部门的人员</translation>
    </message>
    <message>
        <source>Print only the first N rows.</source>
        <translation>只列出前 N 行。</translation>
    </message>
    <message>
        <source>--rows needs a whole number, not &apos;%1&apos;</source>
        <translation>--rows 需要一个整数，而不是 &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Show the active sheet of a workbook as the import reads it</source>
        <translation>按导入读取的样子显示工作簿的活动工作表</translation>
    </message>
    <message>
        <source>Prints the institution tree of the database.</source>
        <translation>列出数据库中的机构树。</translation>
    </message>
    <message>
        <source>Print the institution tree</source>
        <translation>列出机构树</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>命令：</translation>
    </message>
    <message>
        <source>Run &apos;gzimport &lt;command&gt; --help&apos; for a command&apos;s options.</source>
        <translation>运行 &apos;gzimport &lt;command&gt; --help&apos; 查看该命令的选项。</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>未知选项 &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>未知命令 &apos;%1&apos;</translation>
    </message>
    <message>
        <source>The database: an SQLite file, postgresql://user@host:port/name or odbc:&lt;connection string&gt; (default: gzgl.mdb in the working directory).</source>
        <translation>数据库：SQLite 文件、postgresql://用户@主机:端口/库名 或 odbc:&lt;连接字符串&gt;（默认为工作目录中的 gzgl.mdb）。</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>多余的参数 &apos;%1&apos;</translation>
    </message>
    <message>
        <source>missing argument</source>
        <translation>缺少参数</translation>
    </message>
    <message>
        <source>The password to open an encrypted workbook.</source>
        <translation>打开加密工作簿的密码。</translation>
    </message>
    <message>
        <source>Read the password to open an encrypted workbook from the first line of FILE.</source>
        <translation>从 FILE 的第一行读取打开加密工作簿的密码。</translation>
    </message>
    <message>
        <source>--password and --password-file cannot be given together</source>
        <translation>--password 与 --password-file 不能同时使用</translation>
    </message>
    <message>
        <source>The workbook: .xls, .xlsx, .xlsm, .et, .ett, .ods, .fods, XML Spreadsheet, a web page or CSV/tab-separated text (the form is read from the file, not its name).</source>
        <translation>工作簿：.xls、.xlsx、.xlsm、.et、.ett、.ods、.fods、XML 电子表格、网页或 CSV/制表符分隔的文本（格式由文件内容判断，而不是文件名）。</translation>
    </message>
    <message>
        <source>Imports the active sheet of WORKBOOK into the department CODE: one person per row,
with education, position and assessment history.

Exit status:
  0    every row was stored
  3    the run went through the sheet, but some rows were not stored
  1    the run failed or was refused (database, workbook, code file)
  2    the command line is wrong
  130  stopped by Ctrl-C after a whole row; the rows before it are stored</source>
        <translation>把工作簿 WORKBOOK 的活动工作表导入部门 CODE：每行一人，
连同其学历、职务和考核记录。

退出状态:
  0    每一行都已导入
  3    已处理完工作表，但有的行未导入
  1    导入失败或被拒绝（数据库、工作簿、代码文件）
  2    命令行有误
  130  按 Ctrl-C 在一整行之后中止；此前的行已保存</translation>
    </message>
    <message>
        <source>Continue an import that ended early from sheet row N (its last line names the row); the rows go to the department as with append.</source>
        <translation>从工作表第 N 行继续一次提前结束的导入（其最后一行给出行号）；这些行按追加方式导入部门。</translation>
    </message>
    <message>
        <source>Append: leave out the rows whose id card number a person of the department already has, and import the others.</source>
        <translation>追加时：跳过其身份证号已为本部门人员所有的行，只导入其余的行。</translation>
    </message>
    <message>
        <source>Append: import every row, even when the department already has a person with its id card number. Without either option such rows refuse the whole import.</source>
        <translation>追加时：导入所有的行，即使本部门已有身份证号相同的人员。两个选项都不给时，有这样的行就不导入任何人员。</translation>
    </message>
    <message>
        <source>When row 1 lacks a required title, import by the header found in the first 20 rows (titles written with blanks, line breaks or under other names, also over two rows). Without it such a sheet is refused, saying where the titles are.</source>
        <translation>第 1 行缺少所需的标题时，按前 20 行中找到的标题行导入（标题中有空格、换行或用了别名，或标题占两行）。不给此选项时拒绝导入这样的工作表，并指出标题所在的行。</translation>
    </message>
    <message>
        <source>--start-row N needs a sheet row number from 2 on</source>
        <translation>--start-row N 需要从 2 起的工作表行号</translation>
    </message>
    <message>
        <source>--start-row continues by adding rows; it cannot go with --overwrite</source>
        <translation>--start-row 以追加方式继续导入，不能与 --overwrite 同用</translation>
    </message>
    <message>
        <source>--skip-existing and --allow-duplicates exclude each other</source>
        <translation>--skip-existing 与 --allow-duplicates 不能同用</translation>
    </message>
    <message>
        <source>--update-existing cannot go with --overwrite, --skip-existing or --allow-duplicates</source>
        <translation>--update-existing 不能与 --overwrite、--skip-existing 或 --allow-duplicates 同用</translation>
    </message>
    <message>
        <source>Update the department&apos;s people by id card number: a row whose number one person of the department has updates that person (who keeps its id and the rows the workbook does not carry); the other rows are added.</source>
        <translation>按身份证号更新本部门人员：身份证号与本部门恰好一人相同的行更新此人（保留其编号及工作簿中没有的记录）；其余的行作为新人员导入。</translation>
    </message>
    <message>
        <source>Write the rows that were not stored into the new workbook FILE.xlsx: the title row, each such row as read and the reason. Put right, it imports as it is.</source>
        <translation>把未导入的行写入新工作簿 FILE.xlsx：标题行、每个这样的行（按读取的样子）及其原因。改正之后可以原样导入。</translation>
    </message>
    <message>
        <source>--rejects needs a file name ending in .xlsx</source>
        <translation>--rejects 需要以 .xlsx 结尾的文件名</translation>
    </message>
    <message>
        <source>How long to wait for a database that another program holds, or for another import into an overlapping department, before the import ends with nothing more written (default 60 seconds).</source>
        <translation>数据库被其他程序占用、或上下级部门的另一次导入正在进行时，最多等待多少秒；超时则导入结束，不再写入任何数据（默认 60 秒）。</translation>
    </message>
    <message>
        <source>--wait takes a whole number of seconds, 0 or more</source>
        <translation>--wait 须为不小于 0 的整数秒</translation>
    </message>
    <message>
        <source>--rejects must name another file than the workbook</source>
        <translation>--rejects 须指定工作簿以外的另一个文件</translation>
    </message>
    <message>
        <source>Prints the active sheet of WORKBOOK as the import reads it: the sheet&apos;s name,
then one line per row with the cell texts separated by tabs. Where the import
finds the titles and the data rows, and the rows the file hides, go to stderr.</source>
        <translation>按导入读取的样子列出工作簿 WORKBOOK 的活动工作表：先是工作表名，
然后每行一行，各单元格的文本以制表符分隔。导入在哪里找到标题和数据行、
文件隐藏了哪些行，写到标准错误输出。</translation>
    </message>
    <message>
        <source>Read the worksheet named NAME, or the NUMBERth worksheet (from 1, chart sheets not counted), instead of the active one.</source>
        <translation>读取名为 NAME 的工作表，或第 NUMBER 个工作表（从 1 起，图表工作表不计），而不是活动工作表。</translation>
    </message>
    <message>
        <source>Lists the imports into the database that the journal holds and whether each was taken back.</source>
        <translation>列出撤销日志中记录的导入该数据库的各次导入，以及每次是否已撤销。</translation>
    </message>
    <message>
        <source>List the imports that can be taken back</source>
        <translation>列出可以撤销的导入</translation>
    </message>
    <message>
        <source>Takes back the latest import into the database, or import RUN (see &apos;gzimport runs&apos;).</source>
        <translation>撤销最近一次导入该数据库的导入，或第 RUN 次导入（见 gzimport runs）。</translation>
    </message>
    <message>
        <source>The number of the import.</source>
        <translation>导入的编号。</translation>
    </message>
    <message>
        <source>RUN must be the number of an import</source>
        <translation>RUN 必须是一次导入的编号</translation>
    </message>
    <message>
        <source>Take an import back</source>
        <translation>撤销一次导入</translation>
    </message>
    <message>
        <source>Import even when the journal cannot be written; the import then cannot be taken back.</source>
        <translation>撤销日志无法写入时也照样导入；这样的导入不能撤销。</translation>
    </message>
    <message>
        <source>Read the title TITLE that the import reads (such as 出生年月) from the sheet&apos;s column titled SHEET_TITLE (such as 生日), for this run; once for each title to map. The header is then taken without --find-titles.</source>
        <translation>本次导入从工作表中标题为 SHEET_TITLE（如 生日）的列读取所需的标题 TITLE（如 出生年月）；每个要对应的标题给一次。这样的标题行无需 --find-titles 即可导入。</translation>
    </message>
    <message>
        <source>--title: the import reads no title %1; it reads %2</source>
        <translation>--title: 导入不读取标题 %1；导入读取的标题有 %2</translation>
    </message>
    <message>
        <source>--title takes TITLE=SHEET_TITLE, such as --title 出生年月=生日</source>
        <translation>--title 的格式为 TITLE=SHEET_TITLE，例如 --title 出生年月=生日</translation>
    </message>
    <message>
        <source>Write the check report into the new workbook FILE.xlsx: the title row and every data row as read, with two more columns, 结果 (what the import does with the row) and 问题 (each reason and warning of the row, one per line). Goes with --dry-run too; with the two columns deleted the workbook imports again.</source>
        <translation>把检查结果写入新工作簿 FILE.xlsx：标题行和读到的每一数据行，最后加两列：结果（导入对该行做什么）和问题（该行的每条原因和提示，一条一行）。也可与 --dry-run 同用；删去这两列后，该工作簿可以再次导入。</translation>
    </message>
    <message>
        <source>--report needs a file name ending in .xlsx</source>
        <translation>--report 需要以 .xlsx 结尾的文件名</translation>
    </message>
    <message>
        <source>--report must name another file than the workbook and the --rejects file</source>
        <translation>--report 必须指定与工作簿和 --rejects 文件不同的文件</translation>
    </message>
    <message>
        <source>Writes the people of a department, with their education, position and assessment history, as a workbook in the layout the import reads. Codes are written as their first text in the code file.</source>
        <translation>把一个部门的人员连同其学历、职务和考核履历写成导入所读格式的工作簿。代码按代码文件中对应的第一个文字写出。</translation>
    </message>
    <message>
        <source>The people of every department below it too, with a 部门 column.</source>
        <translation>连同其下各级部门的人员，并加一列“部门”。</translation>
    </message>
    <message>
        <source>The workbook to write.</source>
        <translation>要写出的工作簿。</translation>
    </message>
    <message>
        <source>Write a department&apos;s people as a workbook the import reads</source>
        <translation>把部门人员写成可供导入的工作簿</translation>
    </message>
    <message>
        <source>Copies the tables of an Access database (.mdb or .accdb) into an SQLite file or a PostgreSQL database, with every value as the file holds it.</source>
        <translation>把 Access 数据库 (.mdb 或 .accdb) 的表复制到 SQLite 文件或 PostgreSQL 数据库中，每个值都与文件中的一样。</translation>
    </message>
    <message>
        <source>The Access database to read.</source>
        <translation>要读取的 Access 数据库。</translation>
    </message>
    <message>
        <source>The database to write: an SQLite file (made when missing) or postgresql://...</source>
        <translation>要写入的数据库：SQLite 文件（不存在时新建）或 postgresql://...</translation>
    </message>
    <message>
        <source>Only these tables, separated by commas.</source>
        <translation>只复制这些表，用逗号分隔。</translation>
    </message>
    <message>
        <source>Replace tables of the same name in the target database.</source>
        <translation>替换目标数据库中同名的表。</translation>
    </message>
    <message>
        <source>The code page of the texts of an Access 97 file (936).</source>
        <translation>Access 97 文件中文字的代码页（936）。</translation>
    </message>
    <message>
        <source>The database password of the Access file.</source>
        <translation>Access 文件的数据库密码。</translation>
    </message>
    <message>
        <source>Read the database password from the first line of FILE.</source>
        <translation>从 FILE 的第一行读取数据库密码。</translation>
    </message>
    <message>
        <source>--to DB is required</source>
        <translation>必须给出 --to DB</translation>
    </message>
    <message>
        <source>Copy an Access database into SQLite or PostgreSQL</source>
        <translation>把 Access 数据库复制到 SQLite 或 PostgreSQL</translation>
    </message>
    <message>
        <source>--codepage takes a code page this tool reads: 936, 1252, 1251, 10000 or 20127</source>
        <translation>--codepage 需要本工具能读的代码页：936、1252、1251、10000 或 20127</translation>
    </message>
</context>
<context>
    <name>gzimport-gui</name>
    <message>
        <source>Imports personnel workbooks into the payroll database.</source>
        <translation>把人员信息工作簿导入工资数据库。</translation>
    </message>
    <message>
        <source>The database: an SQLite file, postgresql://user@host:port/name or odbc:&lt;connection string&gt;. Default: gzgl.mdb in the working directory.</source>
        <translation>数据库：SQLite 文件、postgresql://用户@主机:端口/库名 或 odbc:&lt;连接字符串&gt;。默认为工作目录中的 gzgl.mdb。</translation>
    </message>
</context>
</TS>
