package com.libtarvo;

import static com.libtarvo.Expect.*;
import static org.junit.Assert.*;

import java.io.StringReader;
import java.util.ArrayList;
import java.util.List;
import javax.xml.XMLConstants;
import javax.xml.parsers.DocumentBuilderFactory;
import javax.xml.transform.dom.DOMSource;
import javax.xml.validation.SchemaFactory;
import org.junit.Test;
import org.junit.runner.RunWith;
import org.junit.runners.Parameterized;
import org.junit.runners.Parameterized.Parameters;
import org.w3c.dom.Document;
import org.w3c.dom.Element;
import org.w3c.dom.NodeList;
import org.xml.sax.InputSource;

/** Whole payment files built from Java: read back, checked value by value and against the schema of their variant. */
@RunWith(Parameterized.class)
public class TARVODocumentTest {
    private static final String NS = "urn:iso:std:iso:20022:tech:xsd:";

    /** The document parsed, after validating it against the schema its namespace names. */
    static Document parseAndValidate(String xml, String variant) throws Exception {
        final DocumentBuilderFactory f = DocumentBuilderFactory.newInstance();
        f.setNamespaceAware(true);
        final Document doc = f.newDocumentBuilder().parse(new InputSource(new StringReader(xml)));
        assertEquals(NS + variant, doc.getDocumentElement().getNamespaceURI());
        SchemaFactory.newInstance(XMLConstants.W3C_XML_SCHEMA_NS_URI)
            .newSchema(shared("xsd/" + variant + ".xsd").toFile())
            .newValidator()
            .validate(new DOMSource(doc));
        return doc;
    }

    private static List<String> texts(Document doc, String variant, String tag) {
        final NodeList nodes = doc.getElementsByTagNameNS(NS + variant, tag);
        final List<String> out = new ArrayList<>();
        for (int i = 0; i < nodes.getLength(); ++i) out.add(nodes.item(i).getTextContent());
        return out;
    }

    private static String text(Document doc, String variant, String tag) {
        final List<String> all = texts(doc, variant, tag);
        assertFalse("no " + tag, all.isEmpty());
        return all.get(0);
    }

    /** The first child named child of every element named parent, in document order. */
    private static List<String> childTexts(Document doc, String variant, String parent, String child) {
        final NodeList parents = doc.getElementsByTagNameNS(NS + variant, parent);
        final List<String> out = new ArrayList<>();
        for (int i = 0; i < parents.getLength(); ++i) {
            out.add(((Element) parents.item(i)).getElementsByTagNameNS(NS + variant, child).item(0).getTextContent());
        }
        return out;
    }

    @Parameters(name = "{0}")
    public static Object[][] rulebooks() {
        return new Object[][] {
            {"DE-3.7", "pain.008.001.08", "pain.001.001.09"},
            {"AT-6", "pain.008.001.02", "pain.001.001.03"},
            {"DE-2.7", "pain.008.003.02", "pain.001.003.03"},
        };
    }

    private final String rulebook;
    private final String ddiVariant;
    private final String ctiVariant;

    public TARVODocumentTest(String rulebook, String ddiVariant, String ctiVariant) {
        this.rulebook = rulebook;
        this.ddiVariant = ddiVariant;
        this.ctiVariant = ctiVariant;
    }

    @Test
    public void directDebit() throws Exception {
        final String variant = ddiVariant;
        rulebook(rulebook);
        final String xml;
        try (TARVO m = creditor()) {
            m.setName("Verein Müller & Söhne");
            m.setMessageId("JAVA-DD-" + rulebook);
            m.setDate("2030-01-15");
            m.setBatchBooking(false);
            m.setDDType(TARVO.TARVO_DDTYPE_B2B);
            m.add(debit("10.50", "M-1"));
            final String[][] second = debit("2.25", "M-2");
            second[3][1] = "RCUR";
            second[0][1] = "Jörg Schulz";
            m.add(second);
            xml = m.toXML();
            assertEquals("a second rendering is the same document", xml.replaceAll("<CreDtTm>[^<]*", ""),
                m.toXML().replaceAll("<CreDtTm>[^<]*", ""));
        }
        final Document doc = parseAndValidate(xml, variant);
        assertEquals(1, doc.getElementsByTagNameNS(NS + variant, "CstmrDrctDbtInitn").getLength());
        assertEquals("JAVA-DD-" + rulebook, text(doc, variant, "MsgId"));
        assertEquals("2", text(doc, variant, "NbOfTxs"));
        assertEquals("12.75", text(doc, variant, "CtrlSum"));
        assertEquals(List.of("false", "false"), texts(doc, variant, "BtchBookg"));
        assertEquals(List.of("B2B", "B2B"), childTexts(doc, variant, "LclInstrm", "Cd"));
        assertEquals(List.of("FRST", "RCUR"), texts(doc, variant, "SeqTp"));
        assertEquals(List.of("2030-01-15", "2030-01-15"), texts(doc, variant, "ReqdColltnDt"));
        assertEquals(List.of("Verein Müller & Söhne", "Verein Müller & Söhne"), childTexts(doc, variant, "Cdtr", "Nm"));
        assertEquals(List.of("Erika Mustermann", "Jörg Schulz"), childTexts(doc, variant, "Dbtr", "Nm"));
        assertEquals(List.of("M-1", "M-2"), texts(doc, variant, "MndtId"));
        assertEquals(List.of(CREDITOR_ID, CREDITOR_ID), childTexts(doc, variant, "Othr", "Id"));
        assertEquals(List.of(CREDITOR_IBAN, DEBTOR_IBAN, CREDITOR_IBAN, DEBTOR_IBAN), texts(doc, variant, "IBAN"));
    }

    @Test
    public void creditTransfer() throws Exception {
        final String variant = ctiVariant;
        rulebook(rulebook);
        final String xml;
        try (TARVO m = new TARVO(TARVO.TARVO_MSGTYPE_CTI)) {
            m.setIBAN(DEBTOR_IBAN);
            m.setBIC(DEBTOR_BIC);
            m.setName("Müller & Söhne GmbH");
            m.setMessageId("JAVA-CT-1");
            m.setDate("2030-02-01");
            m.add(transfer("1234.50", "Rent & heating 01/2030"));
            final String[][] later = transfer("0.06", "Interest");
            m.add(later);
            m.add(new String[][] {
                {"name", "Carl Dorn"}, {"iban", CREDITOR_IBAN}, {"bic", CREDITOR_BIC}, {"amount", "20"},
                {"date", "2030-03-01"}, {"id", "E2E-3"}, {"ref", "Refund"},
            });
            xml = m.toXML();
        }
        final Document doc = parseAndValidate(xml, variant);
        assertEquals(1, doc.getElementsByTagNameNS(NS + variant, "CstmrCdtTrfInitn").getLength());
        assertEquals("JAVA-CT-1", text(doc, variant, "MsgId"));
        assertEquals("3", text(doc, variant, "NbOfTxs"));
        assertEquals("1254.56", text(doc, variant, "CtrlSum"));
        // Two execution dates, so two payment blocks, each with its own count and sum.
        assertEquals(List.of("3", "2", "1"), texts(doc, variant, "NbOfTxs"));
        assertEquals(List.of("1254.56", "1234.56", "20.00"), texts(doc, variant, "CtrlSum"));
        assertEquals(List.of("1234.50", "0.06", "20.00"), texts(doc, variant, "InstdAmt"));
        assertEquals(List.of("NOTPROVIDED", "NOTPROVIDED", "E2E-3"), texts(doc, variant, "EndToEndId"));
        assertEquals(List.of("Rent & heating 01/2030", "Interest", "Refund"), texts(doc, variant, "Ustrd"));
        assertEquals(List.of("Müller & Söhne GmbH", "Müller & Söhne GmbH"), childTexts(doc, variant, "Dbtr", "Nm"));
        assertEquals(List.of("Anna Berg", "Anna Berg", "Carl Dorn"), childTexts(doc, variant, "Cdtr", "Nm"));
    }
}
