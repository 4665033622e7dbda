--TEST--
TARVO: pinned rulebook against init and php.ini, new message fields, add() value types
--INI--
tarvo.rulebook=DE-3.7
--FILE--
<?php
function attempt(callable $f) {
    try {
        var_dump($f());
    } catch (Throwable $e) {
        printf("%s: %s\n", get_class($e), $e->getMessage());
    }
}
TARVO::init(TARVO_INIT_RULEBOOK, 'DE-2.6');
// The ini default and the constructor's argument both pin; init does not move them.
var_dump((new TARVO(TARVO_MSGTYPE_CTI))->getRulebook());
var_dump((new TARVO(TARVO_MSGTYPE_CTI, 'DE-3.9'))->getRulebook());
attempt(fn() => new TARVO(TARVO_MSGTYPE_CTI, 'DE-9.9'));

$t = new TARVO(TARVO_MSGTYPE_CTI, 'DE-3.9');
$t->setIBAN('DE89370400440532013000');
$t->setName('Zahler GmbH');
attempt(fn() => $t->setInstant(true));
attempt(fn() => $t->setCategoryPurpose('SALA'));
attempt(fn() => $t->setCategoryPurpose('sala'));
attempt(fn() => $t->setUltimateName('Konzern AG'));
$base = ['name' => 'Müller', 'iban' => 'DE89370400440532013000', 'amount' => '10.00'];
foreach ([
    ['cref' => 'rf18 5390 0754 7034', 'id' => null, 'ultimateName' => 'Endkunde'],
    ['addrLine1' => 'Hauptstr. 1', 'addrTown' => 'Berlin', 'addrCC' => 'DE'],
    ['amount' => true],
    ['ref' => ['a']],
    ['ref' => new stdClass()],
    ['smnda' => false],
    ['purpose' => 'Rechnung 7'],
    ['cref' => 'RF19539007547034'],
] as $extra) {
    attempt(fn() => $t->add(array_merge($base, $extra)));
}
$xml = $t->toXML();
foreach (['<Cd>INST</Cd>', '<Cd>SALA</Cd>', '<Cd>SCOR</Cd>', '<Ref>RF18539007547034</Ref>',
          '<UltmtDbtr>', '<UltmtCdtr>', '<AdrLine>Hauptstr. 1</AdrLine>'] as $needle) {
    echo $needle, ' ', str_contains($xml, $needle) ? 'yes' : 'no', "\n";
}
$d = new TARVO(TARVO_MSGTYPE_DDI, 'DE-3.5');
attempt(fn() => $d->setInstant(true));
attempt(fn() => $d->setUltimateName('X'));
var_dump(TARVO::creditorReferenceCheck('RF18 5390 0754 7034'), TARVO::creditorReferenceCheck('RF19 5390 0754 7034'));
var_dump(TARVO::creditorReferenceMake('5390 0754 7034'), TARVO::creditorReferenceMake('!'));
?>
--EXPECT--
string(6) "DE-3.7"
string(6) "DE-3.9"
TARVOException: Unknown rulebook 'DE-9.9'
bool(true)
bool(true)
TARVOException: Invalid category purpose (must be 4 capital letters)
bool(true)
bool(true)
bool(true)
TypeError: TARVO::add(): value of key "amount" must not be a boolean
TypeError: TARVO::add(): value of key "ref" must not be an array
TypeError: TARVO::add(): value of key "ref" must be a scalar or Stringable, stdClass given
bool(true)
TARVOException: Invalid transaction property 'purpose' (did you mean 'purp' or 'ref'?)
TARVOException: Invalid creditor reference (RF check digits)
<Cd>INST</Cd> yes
<Cd>SALA</Cd> yes
<Cd>SCOR</Cd> yes
<Ref>RF18539007547034</Ref> yes
<UltmtDbtr> yes
<UltmtCdtr> yes
<AdrLine>Hauptstr. 1</AdrLine> yes
TARVOException: Instant is for credit transfers
TARVOException: Ultimate parties not supported by the selected SEPA rulebook
bool(true)
bool(false)
string(16) "RF18539007547034"
NULL
