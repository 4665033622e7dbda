--TEST--
Bank data: a tarvo.data path that is no data file gives a startup warning; the compiled-in data answers
--INI--
tarvo.data=/
display_startup_errors=1
--FILE--
<?php
echo TARVO::BIC_getBankName('MARKDEF1100'), "\n";
ob_start();
phpinfo(INFO_MODULES);
$info = ob_get_clean();
preg_match_all('/^Bank data: (\S+) => (.*)$/m', $info, $rows, PREG_SET_ORDER);
foreach ($rows as $row) echo $row[1], ': ', $row[2], "\n";
var_dump(preg_match('/^tarvo\.data => \/ => \/$/m', $info));
?>
--EXPECTF--
%AWarning: tarvo.data: /: not a file: a directory; using the compiled-in bank data in Unknown on line 0
DEUTSCHE BUNDESBANK
bundesbank: %d-%d-%d, valid until %d-%d-%d, compiled-in
%Aiban-rules: %s, compiled-in
scl: %s, compiled-in
oenb: %s, compiled-in
six: %s, compiled-in
int(1)
