--TEST--
TARVO construction: message types, codes, no cloning or serialising, missing handle
--FILE--
<?php
function attempt(callable $f) {
    try {
        $f();
        echo "no exception\n";
    } catch (Throwable $e) {
        printf("%s(%d): %s\n", get_class($e), $e->getCode(), $e->getMessage());
    }
}

foreach ([3, 0, -1, 4294967297] as $type)
    attempt(fn() => new TARVO($type));
var_dump(new TARVO(TARVO_MSGTYPE_DDI) instanceof TARVO, new TARVO(TARVO_MSGTYPE_CTI) instanceof TARVO);

$t = new TARVO(TARVO_MSGTYPE_DDI);
attempt(fn() => clone $t);
attempt(fn() => serialize($t));

// Engine parameter errors are not library failures.
attempt(fn() => new TARVO());
attempt(fn() => new TARVO("direct debit"));

// Constructing again starts a new message of the new type: setDDType is for direct
// debits only.
var_dump($t->setDDType(TARVO_DDTYPE_CORE));
$t->__construct(TARVO_MSGTYPE_CTI);
attempt(fn() => $t->setDDType(TARVO_DDTYPE_CORE));

// A failed constructor call keeps whatever the object had.
attempt(fn() => $t->__construct(7));
attempt(fn() => $t->setDDType(TARVO_DDTYPE_CORE));

// An object whose constructor never ran has no message: every operation fails cleanly.
$bare = (new ReflectionClass('TARVO'))->newInstanceWithoutConstructor();
attempt(fn() => $bare->setIBAN('DE89370400440532013000'));
attempt(fn() => $bare->add(['name' => 'X']));
attempt(fn() => $bare->toXML());

class Subclassed extends TARVO {
    public function __construct() {}
}
attempt(fn() => (new Subclassed())->setName('Creditor'));
echo "done\n";
?>
--EXPECT--
TARVOException(42): invalid/unknown message type
TARVOException(42): invalid/unknown message type
TARVOException(42): invalid/unknown message type
TARVOException(42): invalid/unknown message type
bool(true)
bool(true)
Error(0): Trying to clone an uncloneable object of class TARVO
Exception(0): Serialization of 'TARVO' is not allowed
ArgumentCountError(0): TARVO::__construct() expects at least 1 argument, 0 given
TypeError(0): TARVO::__construct(): Argument #1 ($type) must be of type int, string given
bool(true)
TARVOException(0): Not a direct debit message
TARVOException(42): invalid/unknown message type
TARVOException(0): Not a direct debit message
TARVOException(0): Invalid tarvo_t handle (NULL)
TARVOException(0): Invalid tarvo_t handle (NULL)
TARVOException(0): Invalid tarvo_t handle (NULL)
TARVOException(0): Invalid tarvo_t handle (NULL)
done
