// Console texts. They are bytes of code page 850: the only byte outside
// ASCII is 0x81, the "ü" of "für".

#include "cli/console.h"

#include <cstdio>

static const char version[] = "V.4.41";

// Both texts are flushed at once: nothing else is ever printed, and no
// banner byte may wait in a stdio buffer while the run opens its files.
void
print_banner()
{
	std::printf("Ablagix, %s - datierte Sicherungskopien einer Datei\n\n",
	    version);
	std::fflush(stdout);
}

void
print_usage()
{
	std::printf("Format: Ablagix Quelldatei Zielvorlage [/q]\n");
	std::printf("        Quelldatei: Datei deren Inhalt gesichert werden soll\n");
	std::printf("        Zielvorlage: Vorlage f\x81r Sicherungsdatei\n");
	std::printf("          Die Vorlage darf folgen Muster enthalten:\n");
	std::printf("        [JJMMTT]: wird ersetzt durch aktuelles Jahr (2 stellig), \n");
	std::printf("                  Monat und Tag jeweils 2 stellig\n");
	std::printf("        [JJJJMMTT]: wird ersetzt durch aktuelles Jahr (4 stellig), \n");
	std::printf("                  Monat und Tag jeweils 2 stellig\n");
	std::printf("        /q: Optional keine Bildschirmausgabe\n\n");
	std::fflush(stdout);
}
