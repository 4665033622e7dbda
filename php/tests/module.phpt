--TEST--
Module: name, version, classes, constants and information table
--FILE--
<?php
var_dump(extension_loaded('TARVO'), phpversion('TARVO'));
// The module adds classes only, no functions.
var_dump(get_extension_funcs('TARVO'));
var_dump(get_parent_class('TARVOException'));

$expected = [
    'TARVO_DDTYPE_CORE' => 0, 'TARVO_DDTYPE_COR1' => 1, 'TARVO_DDTYPE_B2B' => 2,
    'TARVO_MSGTYPE_CTI' => 2, 'TARVO_MSGTYPE_DDI' => 1, 'TARVO_INIT_RULEBOOK' => 3,
    'TARVO_SCL_SCT' => 1, 'TARVO_SCL_SDD' => 2, 'TARVO_SCL_COR1' => 4, 'TARVO_SCL_B2B' => 8,
    'TARVO_STMT_FORMAT_MT940' => 1, 'TARVO_STMT_FORMAT_CAMT' => 3, 'TARVO_QR_QRBILL' => 1, 'TARVO_QR_EPC' => 2,
];
$constants = get_defined_constants(true)['TARVO'];
var_dump($constants === $expected);
// Case-sensitive: no lower-case spelling exists.
var_dump(defined('tarvo_scl_b2b'), defined('Tarvo_MsgType_DDI'));

$class = new ReflectionClass('TARVO');
foreach ($class->getMethods() as $m) {
    printf("%s%s(%s)\n", $m->isStatic() ? 'static ' : '', $m->getName(),
        implode(', ', array_map(fn($p) => ($p->isPassedByReference() ? '&' : '')
            . ($p->isOptional() ? '?' : '') . $p->getName(), $m->getParameters())));
}
$parser = new ReflectionClass('TARVOStatementParser');
echo implode(' ', array_map(fn($m) => $m->getName(), $parser->getMethods())), "\n";
var_dump($class->getProperties(), (new ReflectionClass('TARVOException'))->getConstants());

ob_start();
phpinfo(INFO_MODULES);
$info = ob_get_clean();
var_dump(preg_match('/^TARVO$/m', $info), preg_match('/^libtarvo => enabled$/m', $info),
    preg_match('/^Version => 2\.30$/m', $info));
?>
--EXPECT--
bool(true)
string(4) "2.30"
bool(false)
string(9) "Exception"
bool(true)
bool(false)
bool(false)
__construct(type, ?rulebook)
setRulebook(rulebook)
getRulebook()
setInstant(instant)
setCategoryPurpose(code)
setUltimateName(name)
setIBAN(iban)
setBIC(bic)
setName(name)
setCreditorIdentifier(creditor_identifier)
setDate(date)
setDDType(type)
setBatchBooking(flag)
setMessageId(message_id)
add(transaction)
addQrBill(payload, ?transaction)
toXML()
static init(option, value)
static IBAN_convert(country, account, bank_id, &?status)
static IBAN_getBIC(iban)
static IBAN_check(iban)
static IBAN_inspect(iban)
static IBAN_normalize(input)
static IBAN_format(iban)
static creditorReferenceCheck(reference)
static creditorReferenceMake(base)
static ACCOUNT_checkBank(account, bank_id)
static BIC_getBankName(bic)
static BIC_getBankFlags(bic)
static QRR_check(reference)
static QRR_make(base)
static QRBILL_parse(payload)
static QRBILL_make(fields)
static EPCQR_parse(payload)
static EPCQR_make(fields)
static QR_svg(kind, payload)
static QR_png(kind, payload)
__construct load loadString getStatements
array(0) {
}
array(0) {
}
int(1)
int(1)
int(1)
