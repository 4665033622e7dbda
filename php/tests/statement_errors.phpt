--TEST--
TARVOStatementParser: unknown format, parser errors, one load per parser, no statements
--FILE--
<?php
function attempt(callable $f) {
    try {
        var_dump($f());
    } catch (Throwable $e) {
        printf("%s(%d): %s\n", get_class($e), $e->getCode(), $e->getMessage());
    }
}
$dir = sys_get_temp_dir() . '/tarvo-phpt-' . getmypid();
mkdir($dir);
$good = "$dir/good.sta";
file_put_contents($good, "\r\n:20:REF\r\n:60F:C240131EUR1,00\r\n:62F:C240131EUR1,00\r\n-\r\n");
file_put_contents("$dir/empty.sta", '');
file_put_contents("$dir/none.sta", "no statement in here\r\n:25:ACCOUNT\r\n");
file_put_contents("$dir/nul.sta", "\0:20:REF\r\n");

echo "-- unknown format: the parser is not called and stays usable\n";
$p = new TARVOStatementParser();
attempt(fn() => $p->getStatements());
attempt(fn() => $p->load(2, $good));
attempt(fn() => $p->load(0, $good));
attempt(fn() => $p->load(4294967297, $good));
attempt(fn() => $p->load(TARVO_STMT_FORMAT_MT940, $good));
attempt(fn() => count($p->getStatements()));
echo "-- one load per parser\n";
attempt(fn() => $p->load(TARVO_STMT_FORMAT_MT940, $good));
attempt(fn() => count($p->getStatements()));

echo "-- parser errors\n";
$p = new TARVOStatementParser();
attempt(fn() => $p->load(TARVO_STMT_FORMAT_MT940, "$dir/missing.sta"));
attempt(fn() => $p->load(TARVO_STMT_FORMAT_MT940, $good));
attempt(fn() => $p->getStatements());
attempt(fn() => (new TARVOStatementParser())->load(TARVO_STMT_FORMAT_MT940, "$dir/empty.sta"));
attempt(fn() => (new TARVOStatementParser())->load(TARVO_STMT_FORMAT_MT940, "$dir/nul.sta"));

echo "-- a file without statements is refused\n";
$p = new TARVOStatementParser();
attempt(fn() => $p->load(TARVO_STMT_FORMAT_MT940, "$dir/none.sta"));
attempt(fn() => $p->getStatements());

echo "-- from a string: the same rules\n";
attempt(fn() => (new TARVOStatementParser())->loadString(TARVO_STMT_FORMAT_MT940, ''));
attempt(fn() => (new TARVOStatementParser())->loadString(7, file_get_contents($good)));
attempt(fn() => (new TARVOStatementParser())->loadString(TARVO_STMT_FORMAT_MT940, "no statement\r\n"));
attempt(fn() => (new TARVOStatementParser())->loadString(TARVO_STMT_FORMAT_CAMT, file_get_contents($good)));
$p = new TARVOStatementParser();
attempt(fn() => $p->loadString(TARVO_STMT_FORMAT_MT940, file_get_contents($good)));
attempt(fn() => $p->getStatements()[0]['closeSaldoText']);
attempt(fn() => $p->loadString(TARVO_STMT_FORMAT_MT940, file_get_contents($good)));

echo "-- constructing again gives a fresh parser\n";
$p->__construct();
attempt(fn() => $p->load(TARVO_STMT_FORMAT_MT940, $good));
attempt(fn() => $p->getStatements()[0]['ref']);

echo "-- parser never constructed\n";
$bare = (new ReflectionClass('TARVOStatementParser'))->newInstanceWithoutConstructor();
attempt(fn() => $bare->load(TARVO_STMT_FORMAT_MT940, $good));
attempt(fn() => $bare->getStatements());

echo "-- engine parameter checks, no copies\n";
// Arguments to the constructor are not looked at.
attempt(fn() => get_class(new TARVOStatementParser('ignored')));
attempt(fn() => $p->load(TARVO_STMT_FORMAT_MT940, "$good\0.txt"));
attempt(fn() => $p->load('MT940', $good));
attempt(fn() => $p->load(TARVO_STMT_FORMAT_MT940));
attempt(fn() => $p->getStatements(true, 1));
attempt(fn() => clone $p);
attempt(fn() => serialize($p));

array_map('unlink', glob("$dir/*"));
rmdir($dir);
?>
--EXPECT--
-- unknown format: the parser is not called and stays usable
NULL
TARVOException(42): invalid/unknown statement format
TARVOException(42): invalid/unknown statement format
TARVOException(42): invalid/unknown statement format
bool(true)
int(1)
-- one load per parser
TARVOException(0): Parser already used
int(1)
-- parser errors
TARVOException(0): Can't open input file: No such file or directory
TARVOException(0): Parser already used
NULL
TARVOException(0): Input file is empty
TARVOException(0): Input file starts with a NUL byte
-- a file without statements is refused
TARVOException(0): No MT940 statement found
NULL
-- from a string: the same rules
TARVOException(0): Input is empty
TARVOException(42): invalid/unknown statement format
TARVOException(0): No MT940 statement found
TARVOException(0): Not a camt document: XML error: syntax error (line 2, column 0)
bool(true)
string(4) "1.00"
TARVOException(0): Parser already used
-- constructing again gives a fresh parser
bool(true)
string(3) "REF"
-- parser never constructed
TARVOException(0): invalid tarvo_stmt_parser_t handle
NULL
-- engine parameter checks, no copies
string(20) "TARVOStatementParser"
ValueError(0): TARVOStatementParser::load(): Argument #2 ($path) must not contain any null bytes
TypeError(0): TARVOStatementParser::load(): Argument #1 ($format) must be of type int, string given
ArgumentCountError(0): TARVOStatementParser::load() expects exactly 2 arguments, 1 given
ArgumentCountError(0): TARVOStatementParser::getStatements() expects at most 1 argument, 2 given
Error(0): Trying to clone an uncloneable object of class TARVOStatementParser
Exception(0): Serialization of 'TARVOStatementParser' is not allowed
