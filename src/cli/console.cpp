// Console texts. They are bytes of code page 850: the only byte outside
// ASCII is 0x81, the "ü" of "für". The platform layer writes them so that
// redirected output keeps these bytes and a terminal shows the letters.

#include "cli/console.h"

#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

static const char version[] = "V.4.41";

// One formatted line of console text. A console that cannot be written to
// does not fail the run: the backup is the run's work, the text is not.
static void say(const char *format, ...)
    __attribute__((format(printf, 1, 2)));

static void
say(const char *format, ...)
{
	char text[256];
	std::va_list arguments;

	va_start(arguments, format);
	int length = std::vsnprintf(text, sizeof text, format, arguments);
	va_end(arguments);
	if (length > 0)
		(void)write_console(text, static_cast<std::size_t>(length));
}

// Both texts are flushed at once: nothing else is ever printed, and no
// banner byte may wait in a stdio buffer while the run opens its files.
void
print_banner()
{
	say("Ablagix, %s - datierte Sicherungskopien einer Datei\n\n", version);
	(void)std::fflush(stdout);
}

void
print_usage()
{
	say("Format: Ablagix Quelldatei Zielvorlage [/q]\n");
	say("        Quelldatei: Datei deren Inhalt gesichert werden soll\n");
	say("        Zielvorlage: Vorlage f\x81r Sicherungsdatei\n");
	say("          Die Vorlage darf folgen Muster enthalten:\n");
	say("        [JJMMTT]: wird ersetzt durch aktuelles Jahr (2 stellig), \n");
	say("                  Monat und Tag jeweils 2 stellig\n");
	say("        [JJJJMMTT]: wird ersetzt durch aktuelles Jahr (4 stellig), \n");
	say("                  Monat und Tag jeweils 2 stellig\n");
	say("        /q: Optional keine Bildschirmausgabe\n\n");
	(void)std::fflush(stdout);
}
