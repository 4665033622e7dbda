--TEST--
TARVO::addQrBill: scanned QR-bills become CH-SPS transfers; refusals name the field
--FILE--
<?php
$dir = getenv('TARVO_SHARED_DIR') . '/samples/qr/swiss/';
function attempt(callable $f) {
    try {
        var_dump($f());
    } catch (Throwable $e) {
        printf("%s(%d): %s\n", get_class($e), $e->getCode(), $e->getMessage());
    }
}
TARVO::init(TARVO_INIT_RULEBOOK, 'CH-SPS');
$t = new TARVO(TARVO_MSGTYPE_CTI);
$t->setIBAN('CH9300762011623852957');
$t->setName('Muster AG');
$t->setDate('2026-12-01');
attempt(fn() => $t->addQrBill(file_get_contents($dir . 'qr-payment-reference-scor.txt')));
attempt(fn() => $t->addQrBill(file_get_contents($dir . 'qr-payment-information-without-amount.txt'),
                              ['amount' => '7.50', 'id' => 'BILL 2']));
attempt(fn() => $t->addQrBill(file_get_contents($dir . 'qr-payment-information-without-amount.txt')));
attempt(fn() => $t->addQrBill(file_get_contents($dir . 'qr-payment-information-zero-amount.txt')));
attempt(fn() => $t->addQrBill("SPC\n0200\n1\n"));
attempt(fn() => $t->addQrBill("SPC\0"));
$xml = $t->toXML();
preg_match_all('~<InstdAmt Ccy="([A-Z]+)">([^<]*)</InstdAmt>~', $xml, $m);
echo implode(' ', $m[1]), ' ', implode(' ', $m[2]), "\n";
preg_match_all('~<Ref>([^<]*)</Ref>~', $xml, $m);
echo implode(' ', $m[1]), "\n";
TARVO::init(TARVO_INIT_RULEBOOK, 'DE-3.7');
attempt(fn() => $t->addQrBill(file_get_contents($dir . 'qr-payment-reference-scor.txt')));
?>
--EXPECTF--
bool(true)
bool(true)
TARVOException(0): QR-bill without amount: give the amount (amount)
TARVOException(0): QR-bill of amount 0.00 is a notification, not a payment
TARVOException(0): Invalid QR-bill: %s
TARVOException(0): Invalid QR-bill: NUL byte in the payload
CHF %s 25.90 7.50
RF18539007547034 %d
TARVOException(0): QR-bill payments require rulebook CH-SPS
