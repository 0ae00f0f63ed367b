// The sprites' art: each grid is the picture, one character a cell, and the
// palette under it says which colour each character paints.

#include "art.h"

namespace pictures {

// ---------------------------------------------------------------------------
// Brains. The rows over the head leave room for the fire brain's flames, the
// rows round the legs for the ice brain's icicles.

const Grid brainBody = {
    "....................", "....................", "....................", "......KKKKKKKK......",
    "....KKLLLKKLLLKK....", "...KLLPPDKKDPPLLK...", "..KLPPDPPDDPPDPPLK..", "..KPPDPPDPPDPPDPPK..",
    ".KLPDPPPDPPDPPPDPLK.", ".KPPDPPDPPPPDPPDPPK.", ".KPDPPDPPDDPPDPPDPK.", ".KPKKKPPDPPDPPKKKPK.",
    ".KPKWEKPPPPPPKEWKPK.", "..KKWWKPDPPDPKWWKK..", "..KPKKPPPKKPPPKKPK..", "...KPDPKKMMKKPDPK...",
    "....KKK......KKK....", "...KD..K....K..DK...", "..KD...K....K...DK..", "....................",
};

namespace {

const sf::Color eyeWhite(250, 250, 240);

// K outline, L light, P flesh, D fold, W eye white, E pupil, M mouth.
Palette brainPalette(sf::Color outline, sf::Color light, sf::Color flesh, sf::Color fold,
                     sf::Color pupil)
{
    return {{'K', outline},  {'L', light}, {'P', flesh},  {'D', fold},
            {'W', eyeWhite}, {'E', pupil}, {'M', outline}};
}

} // namespace

const Palette pinkBrain =
    brainPalette(sf::Color(70, 10, 45), sf::Color(255, 196, 222), sf::Color(238, 118, 172),
                 sf::Color(168, 50, 108), sf::Color(200, 0, 40));
const Palette iceBrain =
    brainPalette(sf::Color(10, 30, 90), sf::Color(228, 248, 255), sf::Color(112, 196, 255),
                 sf::Color(38, 104, 210), sf::Color(0, 60, 160));
const Palette emberBrain =
    brainPalette(sf::Color(80, 10, 0), sf::Color(255, 206, 70), sf::Color(242, 92, 30),
                 sf::Color(172, 30, 16), sf::Color(255, 230, 0));

const Grid brainFlames = {
    "..y..............y..", ".yo...y......y...oy.", ".yoy.yoy....yoy.yoy.",
    "..oroyroy..yoryoro..", "..orrrorrrrrrorrro..", "...rr..........rr...",
};

// y yellow, o orange, r red.
const Palette flameColours = {
    {'y', sf::Color(255, 236, 90)}, {'o', sf::Color(255, 150, 20)}, {'r', sf::Color(225, 40, 10)}};

const Grid brainIcicles = {
    "...c.....cc.....c...", "...cw...cwwc...wc...", "....c...c..c...c....",
    "....c..........c....", "....w..........w....",
};

// c ice, w its glint.
const Palette frostColours = {{'c', sf::Color(170, 230, 255)}, {'w', sf::Color(250, 255, 255)}};

// ---------------------------------------------------------------------------
// The ship

const Grid shipArt = {
    ".........WW.........", "........KWWK........", "........KCCK........", ".......KCCCCK.......",
    ".......KCBBCK.......", ".......KSBBSK.......", "......KSSSSSSK......", "......KSSSSSSK......",
    "..R...KSSSSSSK...R..", "..R..KSSSSSSSSK..R..", "..S..KSSRSSRSSK..S..", ".KS.KSSSRSSRSSSK.SK.",
    ".KSKSSSSSSSSSSSSKSK.", "KSSSSSSDSSSSDSSSSSSK", "KSSRRSSDSSSSDSSRRSSK", "KSSKKSSDSSSSDSSKKSSK",
    "KSK..KSDDSSDDSK..KSK", ".K....KOOKKOOK....K.", ".......OYOOYO.......", "........Y..Y........",
};

// K outline, W nose light, C cockpit, B its shade, S hull, D hull seam,
// R red stripes, O exhaust flame, Y its hot core.
const Palette shipColours = {{'K', sf::Color(20, 30, 60)},    {'W', sf::Color(255, 255, 255)},
                             {'C', sf::Color(90, 230, 255)},  {'B', sf::Color(30, 120, 200)},
                             {'S', sf::Color(200, 210, 225)}, {'D', sf::Color(120, 130, 150)},
                             {'R', sf::Color(230, 40, 50)},   {'O', sf::Color(255, 140, 20)},
                             {'Y', sf::Color(255, 240, 120)}};

// ---------------------------------------------------------------------------
// Shots

const Grid playerShotArt = {
    ".W.", "WYW", "YWY", "YWY", "OYO", ".O.", ".R.",
};

// W white heat, Y yellow, O orange, R a fading red tail.
const Palette playerShotColours = {{'W', sf::Color(255, 255, 255)},
                                   {'Y', sf::Color(255, 240, 80)},
                                   {'O', sf::Color(255, 140, 20)},
                                   {'R', sf::Color(220, 40, 20, 180)}};

const Grid brainShotArt = {
    ".G.", "GWG", "GWG", "DGD", ".D.",
};

// G slime, W its shine, D its shade.
const Palette brainShotColours = {
    {'W', sf::Color(255, 240, 255)}, {'G', sf::Color(120, 255, 90)}, {'D', sf::Color(30, 170, 40)}};

// ---------------------------------------------------------------------------
// The power-up's star

const Grid starArt = {
    ".....KKKK.....", ".....KYYK.....", "....KYYYYK....", "....KYWWYK....", "KKKKYYWWYYKKKK",
    "KYYYYWWWWYYYYK", ".KYYYWWWWYYYK.", "..KYYYYYYYYK..", "...KYYYYYYK...", "...KYYKKYYK...",
    "..KYYK..KYYK..", "..KYK....KYK..", ".KKK......KKK.", "..K........K..",
};

// K outline, Y gold, W its shine.
const Palette starColours = {
    {'K', sf::Color(120, 50, 0)}, {'Y', sf::Color(255, 200, 30)}, {'W', sf::Color(255, 250, 200)}};

} // namespace pictures
