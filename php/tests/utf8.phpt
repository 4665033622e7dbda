--TEST--
Every text PHP receives from the statement samples and from refusals is valid UTF-8
--FILE--
<?php
function texts(array $a): array {
    $out = [];
    array_walk_recursive($a, function ($v) use (&$out) { if (is_string($v)) $out[] = $v; });
    return $out;
}
$utf8 = fn(string $s) => preg_match('//u', $s) === 1;
$latin1 = fn(string $s) => preg_replace_callback('/[\x80-\xFF]/',
    fn($m) => chr(0xC0 | ord($m[0]) >> 6) . chr(0x80 | ord($m[0]) & 0x3F), $s);

$invalid = [];
$converted = 0;
foreach (glob((getenv('TARVO_SHARED_DIR') ?: __DIR__ . '/../../../shared') . '/samples/mt940/*') as $file) {
    if (str_ends_with($file, '.md')) {
        continue;
    }
    $p = new TARVOStatementParser();
    try {
        $p->load(TARVO_STMT_FORMAT_MT940, $file);
    } catch (TARVOException $e) {
        continue;
    }
    $texts = texts($p->getStatements() ?? []);
    $raw = texts($p->getStatements(true) ?? []);
    foreach ($texts as $i => $text) {
        if (!$utf8($text)) {
            $invalid[] = basename($file) . ": " . bin2hex($text);
        }
        // What was converted is the ISO-8859-1 reading of the raw bytes, or UTF-8 whose
        // last character a fixed-size field cut off.
        if ($text !== $raw[$i]) {
            $converted++;
            if ($text !== $latin1($raw[$i]) && !str_starts_with($raw[$i], $text)) {
                $invalid[] = basename($file) . ": not the ISO-8859-1 reading of " . bin2hex($raw[$i]);
            }
        }
    }
}
var_dump($invalid, $converted > 0);

// A refused byte that is no UTF-8 is quoted escaped.
$t = new TARVO(TARVO_MSGTYPE_CTI);
foreach (["M\xFCller", "Stra\xC3", "\xE2\x82"] as $name) {
    try {
        $t->setName($name);
    } catch (TARVOException $e) {
        var_dump($utf8($e->getMessage()), $e->getMessage());
    }
}
?>
--EXPECT--
array(0) {
}
bool(true)
bool(true)
string(47) "tarvo_setName: invalid character '\xFC' in name"
bool(true)
string(47) "tarvo_setName: invalid character '\xC3' in name"
bool(true)
string(47) "tarvo_setName: invalid character '\xE2' in name"
