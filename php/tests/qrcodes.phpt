--TEST--
TARVO QR codes: QR references, QR-bill and EPC payloads read and written, pictures
--FILE--
<?php
function attempt(callable $f) {
    try {
        var_dump($f());
    } catch (Throwable $e) {
        printf("%s: %s\n", get_class($e), $e->getMessage());
    }
}

echo "-- QRR\n";
var_dump(TARVO::QRR_check('21 00000 00003 13947 14300 09017'), TARVO::QRR_check('210000000003139471430009018'));
var_dump(TARVO::QRR_make('2100000000031394714300090'), TARVO::QRR_make('12a'));

echo "-- QR-bill\n";
$dir = getenv('TARVO_SHARED_DIR') . '/samples/qr/swiss';
$payload = file_get_contents("$dir/qr-special-chars-ultimate-debtor.txt");
$bill = TARVO::QRBILL_parse($payload);
var_dump($bill['amount'], $bill['ultimateDebtor']['name'], isset($bill['message']));
// Written back byte for byte from the array.
var_dump(TARVO::QRBILL_make($bill) === $payload);
$scor = TARVO::QRBILL_parse(file_get_contents("$dir/qr-payment-reference-scor.txt"));
var_dump($scor['referenceType'], $scor['reference']);
attempt(fn() => TARVO::QRBILL_parse(str_replace("\nS\n", "\nK\n", $payload)));
attempt(fn() => TARVO::QRBILL_make(array_merge($bill, ['amount' => '12.345'])));
attempt(fn() => TARVO::QRBILL_make(array_merge($bill, ['referenceType' => 'NON', 'reference' => null])));
attempt(fn() => TARVO::QRBILL_make(array_merge($bill, ['message' => 5])));

echo "-- EPC\n";
$code = ['name' => 'Wikimedia Foerdergesellschaft', 'iban' => 'DE33100205000001194700', 'amount' => '123.45',
         'text' => 'Spende fuer Wikipedia'];
$epc = TARVO::EPCQR_make($code);
var_dump($epc);
var_dump(TARVO::EPCQR_parse($epc));
attempt(fn() => TARVO::EPCQR_make(array_merge($code, ['version' => '001'])));
attempt(fn() => TARVO::EPCQR_make(array_merge($code, ['reference' => 'RF18539007547034'])));

echo "-- pictures\n";
$svg = TARVO::QR_svg(TARVO_QR_QRBILL, $payload);
var_dump(str_starts_with($svg, '<?xml'), str_contains($svg, '</svg>'));
$png = TARVO::QR_png(TARVO_QR_EPC, $epc);
var_dump(substr($png, 0, 8) === "\x89PNG\r\n\x1a\n");
attempt(fn() => TARVO::QR_png(TARVO_QR_EPC, $payload));
?>
--EXPECT--
-- QRR
bool(true)
bool(false)
string(27) "021000000000313947143000903"
NULL
-- QR-bill
string(5) "25.90"
string(19) "Jôachim Kräutłą"
bool(false)
bool(true)
string(4) "SCOR"
string(16) "RF18539007547034"
TARVOException: creditor.addressType: combined addresses (type K) are no longer accepted since 21 November 2025; use a structured address (type S)
TARVOException: amount: not an amount
TARVOException: referenceType: a QR-IBAN needs a QR reference (QRR)
TARVOException: fields: texts must be strings
-- EPC
string(101) "BCD
002
1
SCT

Wikimedia Foerdergesellschaft
DE33100205000001194700
EUR123.45


Spende fuer Wikipedia"
array(6) {
  ["version"]=>
  string(3) "002"
  ["charset"]=>
  string(1) "1"
  ["name"]=>
  string(29) "Wikimedia Foerdergesellschaft"
  ["iban"]=>
  string(22) "DE33100205000001194700"
  ["amount"]=>
  string(6) "123.45"
  ["text"]=>
  string(21) "Spende fuer Wikipedia"
}
TARVOException: bic: missing (required in version 001)
TARVOException: reference: a reference and a text exclude each other
-- pictures
bool(true)
bool(true)
bool(true)
TARVOException: serviceTag: not an EPC code (BCD expected)
