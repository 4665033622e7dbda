--TEST--
TARVO::add: a value whose conversion restarts the message adds to the new message
--FILE--
<?php
$t = new TARVO(TARVO_MSGTYPE_CTI);
$t->setIBAN('DE89370400440532013000');
$t->setName('Sender');
$restart = new class($t) {
    function __construct(private TARVO $t) {}
    function __toString(): string { $this->t->__construct(TARVO_MSGTYPE_CTI); return '5.00'; }
};
var_dump($t->add(['name' => 'Payee', 'iban' => 'AT611904300234573201', 'amount' => $restart]));
// The restarted message lost the sender's account, so only the transaction is in it.
try {
    $t->toXML();
} catch (TARVOException $e) {
    echo $e->getMessage(), "\n";
}
$t->setIBAN('DE89370400440532013000');
$t->setName('Sender');
var_dump(substr_count($t->toXML(), '<CdtTrfTxInf>'));
?>
--EXPECT--
bool(true)
Missing debtor IBAN
int(1)
