import com.libtarvo.*;
import java.math.BigDecimal;
import java.nio.file.Path;
import java.time.LocalDate;

public class Example {
    public static void main(String[] args) {
        Rulebook.DE_3_7.select(); // process-wide

        try (PaymentMessage debit = PaymentMessage.builder(MessageType.DIRECT_DEBIT)
                .iban("DE89370400440532013000").bic("COBADEFFXXX").name("Verein Beispiel e.V.")
                .creditorIdentifier("DE98ZZZ09999999999").date(LocalDate.now().plusDays(5))
                .directDebitType(DirectDebitType.CORE).build()) {
            debit.add(Transaction.builder()
                    .name("Erika Mustermann").iban("DE02120300000000202051").bic("BYLADEM1001")
                    .amount(new BigDecimal("49.90")).mandate("M-2024-17", LocalDate.of(2024, 1, 15))
                    .sequence(Transaction.Sequence.RECURRING).remittance("Beitrag 2031").build());
            String xml = debit.toXml(); // pain.008, UTF-8
            System.out.println(xml.substring(0, xml.indexOf("?>") + 2));
        } catch (TARVOException e) {
            System.err.println("refused: " + e.getMessage());
            System.exit(1);
        }

        for (Statement s : new StatementParser(StatementFormat.MT940).read(Path.of(args[0]))) {
            System.out.println(s.account() + " " + s.closeDate() + " " + s.closeSaldo() + " " + s.closeCurrency());
            for (StatementTransaction t : s.transactions()) {
                System.out.println("  " + t.valuta() + " " + t.amount() + " " + t.name() + " " + t.purpose());
            }
        }
    }
}
