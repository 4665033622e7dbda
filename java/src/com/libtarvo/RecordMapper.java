package com.libtarvo;

import java.lang.reflect.Constructor;
import java.lang.reflect.ParameterizedType;
import java.lang.reflect.RecordComponent;
import java.lang.reflect.Type;
import java.math.BigDecimal;
import java.time.DateTimeException;
import java.time.LocalDate;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.function.Function;

/**
 * Makes records from the field texts the native side sends, matching each record
 * component to the native field of the same name and converting by the component's type.
 * A {@code List} component takes the record's children instead.
 */
final class RecordMapper<R extends Record> {
    private static final Map<Class<?>, Function<String, Object>> CONVERSIONS = Map.of(
            String.class, s -> s,
            long.class, Long::parseLong,
            int.class, Integer::parseInt,
            boolean.class, "1"::equals,
            BigDecimal.class, BigDecimal::new,
            LocalDate.class, RecordMapper::date,
            Balance.class, Balance::parse);

    /** Lists of values come one per line; other lists are the record's children. */
    private static final Map<Type, Function<String, Object>> LINE_CONVERSIONS = Map.of(
            String.class, s -> s,
            Charge.class, Charge::parse);

    private static Function<String, Object> lines(Function<String, Object> each) {
        return text -> text.lines().map(each).toList();
    }

    /** The conversion of a list of values, or null for the children. */
    private static Function<String, Object> listConversion(RecordComponent c) {
        if (!(c.getGenericType() instanceof ParameterizedType list)) return null;
        final Function<String, Object> each = LINE_CONVERSIONS.get(list.getActualTypeArguments()[0]);
        return each != null ? lines(each) : null;
    }

    private static boolean children(RecordComponent c) {
        return c.getType() == List.class && listConversion(c) == null;
    }

    /** Null for a date no calendar has (files do hold a 31 November): the records cannot carry it. */
    static LocalDate date(String text) {
        try {
            return LocalDate.parse(text);
        } catch (DateTimeException e) {
            return null;
        }
    }

    private final Constructor<R> constructor;
    /** Per component: the native field's index, or -1 for the children. */
    private final int[] fieldIndex;
    private final List<Function<String, Object>> conversions;

    RecordMapper(Class<R> type, String[] fieldNames) {
        final RecordComponent[] components = type.getRecordComponents();
        final List<String> names = Arrays.asList(fieldNames);
        fieldIndex = new int[components.length];
        conversions = Arrays.stream(components).map(c -> {
            if (children(c)) return (Function<String, Object>) null;
            final Function<String, Object> conversion =
                    c.getType() == List.class ? listConversion(c) : CONVERSIONS.get(c.getType());
            if (conversion == null || !names.contains(c.getName())) {
                throw new IllegalStateException(type.getSimpleName() + "." + c.getName()
                        + " has no native field of its name and type");
            }
            return conversion;
        }).toList();
        for (int i = 0; i < components.length; ++i) {
            fieldIndex[i] = children(components[i]) ? -1 : names.indexOf(components[i].getName());
        }
        try {
            constructor = type.getDeclaredConstructor(
                    Arrays.stream(components).map(RecordComponent::getType).toArray(Class<?>[]::new));
        } catch (NoSuchMethodException e) {
            throw new IllegalStateException(e);
        }
    }

    R make(String[] values, List<?> children) {
        final Object[] arguments = new Object[fieldIndex.length];
        for (int i = 0; i < arguments.length; ++i) {
            final String value = fieldIndex[i] < 0 ? null : values[fieldIndex[i]];
            arguments[i] = fieldIndex[i] < 0 ? children : value == null ? null : conversions.get(i).apply(value);
        }
        try {
            return constructor.newInstance(arguments);
        } catch (ReflectiveOperationException e) {
            throw new IllegalStateException(e);
        }
    }
}
