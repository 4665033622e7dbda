--TEST--
tarvo.stub.php declares exactly what the loaded extension has: classes, methods, types, constants
--FILE--
<?php
$stub = file_get_contents((getenv('TARVO_PHP_STUB') ?: __DIR__ . '/../tarvo.stub.php'));

// The stub's declarations, one line each, as "Class::name(parameters): type".
$declared = [];
$unknown = [];
$class = null;
foreach (explode("\n", $stub) as $line) {
    if (preg_match('~^class (\w+)~', $line, $m)) {
        $class = $m[1];
    } elseif (preg_match('~^\s*public (static )?function (\w+)\((.*)\)(?:: (\S+))? \{\}~', $line, $m)) {
        $declared[] = "$m[1]$class::$m[2]($m[3])" . (isset($m[4]) ? ": $m[4]" : '');
    } elseif (preg_match('~^const (\w+) = (.+);~', $line, $m)) {
        // A constant the stub gives no literal value (UNKNOWN) is compared by name only.
        $declared[] = "const $m[1]" . ($m[2] === 'UNKNOWN' ? '' : " = $m[2]");
        $unknown[$m[1]] = $m[2] === 'UNKNOWN';
    }
}

// The same from the extension's compiled argument information.
$compiled = [];
foreach (['TARVOException', 'TARVO', 'TARVOStatementParser', 'TARVOStatusReport', 'TARVOPaymentFile', 'TARVOReconciliation'] as $name) {
    foreach ((new ReflectionClass($name))->getMethods() as $method) {
        if ($method->getDeclaringClass()->getName() !== $name) {
            continue;
        }
        $parameters = array_map(fn(ReflectionParameter $p) => $p->getType() . ' '
            . ($p->isPassedByReference() ? '&' : '') . '$' . $p->getName()
            . ($p->isDefaultValueAvailable() ? ' = ' . var_export($p->getDefaultValue(), true) : ''),
            $method->getParameters());
        $compiled[] = ($method->isStatic() ? 'static ' : '') . "$name::{$method->getName()}("
            . implode(', ', $parameters) . ')'
            . ($method->hasReturnType() ? ': ' . $method->getReturnType() : '');
    }
}
foreach ((new ReflectionExtension('tarvo'))->getConstants() as $constant => $value) {
    $compiled[] = "const $constant" . (($unknown[$constant] ?? true) ? '' : ' = ' . var_export($value, true));
}

$normalise = fn(array $list) => array_map(fn($s) => strtolower(str_replace(['NULL', 'FALSE'], ['null', 'false'], $s)), $list);
var_dump(count($declared) > 30);
var_dump(array_values(array_diff($normalise($declared), $normalise($compiled))));
var_dump(array_values(array_diff($normalise($compiled), $normalise($declared))));
?>
--EXPECT--
bool(true)
array(0) {
}
array(0) {
}
