#include "crs/engine/GeoEngine.h"
#include "crs/engine/Mgrs.h"
#include "crs/engine/PolarStereographic.h"
#include "crs/engine/TransverseMercator.h"
#include "crs/engine/Ups.h"
#include "crs/engine/Usng.h"
#include "crs/engine/Utm.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

using namespace crstest;

namespace {

class MgrsUsng : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(MgrsSetParameters(kWgs84A, kWgs84F, "WE"), 0u);
        ASSERT_EQ(UsngSetParameters(kWgs84A, kWgs84F, "WE"), 0u);
    }
    void TearDown() override {
        MgrsSetParameters(kWgs84A, kWgs84F, "WE");
        UsngSetParameters(kWgs84A, kWgs84F, "WE");
        UtmSetParameters(kWgs84A, kWgs84F, 0);
        UpsSetParameters(kWgs84A, kWgs84F);
        TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 1.0);
        PolarStereographicSetParameters(kWgs84A, kWgs84F, kPi / 2.0, 0.0, 0.0, 0.0);
    }
};

struct Reference {
    double lat, lon;
    long precision;
    const char* mgrs;
    const char* usng;
    std::int32_t zone; // 0: UPS
    char hemisphere;
    double easting, northing;    // south-west corner of the MGRS square
    double cornerLat, cornerLon; // the same corner, geodetic
    double usngLat, usngLon;     // south-west corner of the USNG square
};

// Made by GeographicLib's GeoConvert: sh tools/make_mgrs_reference.sh
const Reference kReference[] = {
    {51.4779, -0.0015, 0, "30UYC", "30UYC", 30, 'N', 700000.0000, 5700000.0000, 51.41588358903864,
     -0.12370823171227, 51.41588358903864, -0.12370823171227},
    {51.4779, -0.0015, 1, "30UYC00", "30UYC11", 30, 'N', 700000.0000, 5700000.0000,
     51.41588358903864, -0.12370823171227, 51.50206133082350, 0.02583337970927},
    {51.4779, -0.0015, 2, "30UYC0807", "30UYC0807", 30, 'N', 708000.0000, 5707000.0000,
     51.47586241928910, -0.00470876644998, 51.47586241928910, -0.00470876644998},
    {51.4779, -0.0015, 3, "30UYC082072", "30UYC082072", 30, 'N', 708200.0000, 5707200.0000,
     51.47758475479238, -0.00171506971860, 51.47758475479238, -0.00171506971860},
    {51.4779, -0.0015, 4, "30UYC08210723", "30UYC08210724", 30, 'N', 708210.0000, 5707230.0000,
     51.47785045824311, -0.00155359301061, 51.47794025263598, -0.00154769998565},
    {51.4779, -0.0015, 5, "30UYC0821307235", "30UYC0821307236", 30, 'N', 708213.0000, 5707235.0000,
     51.47789425147135, -0.00150750686741, 51.47790323091028, -0.00150691755631},
    {38.8895, -77.0353, 0, "18SUJ", "18SUJ", 18, 'N', 300000.0000, 4300000.0000, 38.82609253750643,
     -77.30392503562526, 38.82609253750643, -77.30392503562526},
    {38.8895, -77.0353, 1, "18SUJ20", "18SUJ21", 18, 'N', 320000.0000, 4300000.0000,
     38.83040844313318, -77.07368071728229, 38.92046470851233, -77.07630050619736},
    {38.8895, -77.0353, 2, "18SUJ2306", "18SUJ2306", 18, 'N', 323000.0000, 4306000.0000,
     38.88505183173863, -77.04068426198020, 38.88505183173863, -77.04068426198020},
    {38.8895, -77.0353, 3, "18SUJ234064", "18SUJ235065", 18, 'N', 323400.0000, 4306400.0000,
     38.88873464989857, -77.03617813206840, 38.88965532886331, -77.03505152693873},
    {38.8895, -77.0353, 4, "18SUJ23470648", "18SUJ23480648", 18, 'N', 323470.0000, 4306480.0000,
     38.88946918453651, -77.03539208262391, 38.88947119388890, -77.03527685028970},
    {38.8895, -77.0353, 5, "18SUJ2347806483", "18SUJ2347806483", 18, 'N', 323478.0000, 4306483.0000,
     38.88949780951524, -77.03530066805324, 38.88949780951524, -77.03530066805324},
    {-33.8568, 151.2153, 0, "56HLH", "56HLJ", 56, 'S', 300000.0000, 6200000.0000,
     -34.32200505219241, 150.82622923843005, -33.42073849032199, 150.84896731384615},
    {-33.8568, 151.2153, 1, "56HLH35", "56HLH35", 56, 'S', 330000.0000, 6250000.0000,
     -33.87665362206311, 151.16190684586647, -33.87665362206311, 151.16190684586647},
    {-33.8568, 151.2153, 2, "56HLH3452", "56HLH3552", 56, 'S', 334000.0000, 6252000.0000,
     -33.85926170450405, 151.20551468693637, -33.85941858866983, 151.21632023806146},
    {-33.8568, 151.2153, 3, "56HLH349522", "56HLH349523", 56, 'S', 334900.0000, 6252200.0000,
     -33.85759999512593, 151.21527719683331, -33.85669852105197, 151.21529595440421},
    {-33.8568, 151.2153, 4, "56HLH34905228", "56HLH34905229", 56, 'S', 334900.0000, 6252280.0000,
     -33.85687881587805, 151.21529220295673, -33.85678866846573, 151.21529407868465},
    {-33.8568, 151.2153, 5, "56HLH3490052288", "56HLH3490152289", 56, 'S', 334900.0000,
     6252288.0000, -33.85680669794831, 151.21529370353971, -33.85679783969679, 151.21530469636903},
    {-23.5505, -46.6333, 0, "23KLP", "23KLQ", 23, 'S', 300000.0000, 7300000.0000,
     -24.40058099301723, -46.97224957671519, -23.49788015046767, -46.95856709635992},
    {-23.5505, -46.6333, 1, "23KLP39", "23KLP39", 23, 'S', 330000.0000, 7390000.0000,
     -23.59158616341875, -46.66602433446812, -23.59158616341875, -46.66602433446812},
    {-23.5505, -46.6333, 2, "23KLP3394", "23KLP3395", 23, 'S', 333000.0000, 7394000.0000,
     -23.55578235004418, -46.63618561977243, -23.54675323719756, -46.63607383800650},
    {-23.5505, -46.6333, 3, "23KLP332945", "23KLP333946", 23, 'S', 333200.0000, 7394500.0000,
     -23.55128839286982, -46.63417090419714, -23.55039576990011, -46.63318033665063},
    {-23.5505, -46.6333, 4, "23KLP33289458", "23KLP33299459", 23, 'S', 333280.0000, 7394580.0000,
     -23.55057429506643, -46.63337844909049, -23.55048503251904, -46.63327939280372},
    {-23.5505, -46.6333, 5, "23KLP3328794588", "23KLP3328894588", 23, 'S', 333287.0000,
     7394588.0000, -23.55050278216429, -46.63330899809065, -23.55050288503424, -46.63329920405038},
    {35.6586, 139.7454, 0, "54SUE", "54SVE", 54, 'N', 300000.0000, 3900000.0000, 35.22312494055522,
     138.80245834660170, 35.23808753540767, 139.90095918762850},
    {35.6586, 139.7454, 1, "54SUE84", "54SUE95", 54, 'N', 380000.0000, 3940000.0000,
     35.59646884889916, 139.67530895917309, 35.68777612003822, 139.78431184074790},
    {35.6586, 139.7454, 2, "54SUE8646", "54SUE8647", 54, 'N', 386000.0000, 3946000.0000,
     35.65126460562144, 139.74068093206716, 35.66027888288762, 139.74053939371385},
    {35.6586, 139.7454, 3, "54SUE864468", "54SUE864468", 54, 'N', 386400.0000, 3946800.0000,
     35.65852215867540, 139.74498581642919, 35.65852215867540, 139.74498581642919},
    {35.6586, 139.7454, 4, "54SUE86434680", "54SUE86444681", 54, 'N', 386430.0000, 3946800.0000,
     35.65852561190245, 139.74531717508486, 35.65861690567305, 139.74542621786637},
    {35.6586, 139.7454, 5, "54SUE8643746808", "54SUE8643846808", 54, 'N', 386437.0000, 3946808.0000,
     35.65859853184145, 139.74539336399036, 35.65859864692654, 139.74540440929022},
    {60.3913, 5.3221, 0, "32VKN", "32VLN", 32, 'N', 200000.0000, 6700000.0000, 60.32513012591583,
     3.56395444192574, 60.38680678122316, 5.37065832570440},
    {60.3913, 5.3221, 1, "32VKN90", "32VLN00", 32, 'N', 290000.0000, 6700000.0000,
     60.38174256043504, 5.18964969298184, 60.38680678122316, 5.37065832570440},
    {60.3913, 5.3221, 2, "32VKN9700", "32VKN9701", 32, 'N', 297000.0000, 6700000.0000,
     60.38531332832135, 5.31634890216049, 60.39427349622078, 5.31533539057310},
    {60.3913, 5.3221, 3, "32VKN973006", "32VKN974006", 32, 'N', 297300.0000, 6700600.0000,
     60.39083980554118, 5.32117244616346, 60.39088988095610, 5.32298298352885},
    {60.3913, 5.3221, 4, "32VKN97350064", "32VKN97350065", 32, 'N', 297350.0000, 6700640.0000,
     60.39122325547316, 5.32203723982089, 60.39131285775520, 5.32202712110494},
    {60.3913, 5.3221, 5, "32VKN9735300648", "32VKN9735400648", 32, 'N', 297353.0000, 6700648.0000,
     60.39129643957646, 5.32208346169050, 60.39129694033071, 5.32210156730419},
    {78.2232, 15.6267, 0, "33XWG", "33XWH", 33, 'N', 500000.0000, 8600000.0000, 77.47696757225130,
     15.00000000000000, 78.37302567222363, 15.00000000000000},
    {78.2232, 15.6267, 1, "33XWG18", "33XWG18", 33, 'N', 510000.0000, 8680000.0000,
     78.19348355177863, 15.43781216325546, 78.19348355177863, 15.43781216325546},
    {78.2232, 15.6267, 2, "33XWG1483", "33XWG1483", 33, 'N', 514000.0000, 8683000.0000,
     78.22004151809602, 15.61430423262912, 78.22004151809602, 15.61430423262912},
    {78.2232, 15.6267, 3, "33XWG142833", "33XWG143834", 33, 'N', 514200.0000, 8683300.0000,
     78.22271053277089, 15.62321949850802, 78.22359694323870, 15.62765509030266},
    {78.2232, 15.6267, 4, "33XWG14278335", "33XWG14288336", 33, 'N', 514270.0000, 8683350.0000,
     78.22315183024993, 15.62631495033552, 78.22324046959437, 15.62675851924213},
    {78.2232, 15.6267, 5, "33XWG1427883355", "33XWG1427983355", 33, 'N', 514278.0000, 8683355.0000,
     78.22319586222218, 15.62666839515290, 78.22319576628010, 15.62671228221369},
    {76.5, 40.5, 0, "37XEE", "37XEF", 37, 'N', 500000.0000, 8400000.0000, 75.68466751988151,
     39.00000000000000, 76.58084951789910, 39.00000000000000},
    {76.5, 40.5, 1, "37XEE39", "37XEE49", 37, 'N', 530000.0000, 8490000.0000, 76.48861000881189,
     40.15034047304037, 76.48656930240320, 40.53363142045796},
    {76.5, 40.5, 2, "37XEE3991", "37XEE3991", 37, 'N', 539000.0000, 8491000.0000, 76.49575809813216,
     40.49628115632742, 76.49575809813216, 40.49628115632742},
    {76.5, 40.5, 3, "37XEE390914", "37XEE391915", 37, 'N', 539000.0000, 8491400.0000,
     76.49934149682234, 40.49667087027643, 76.50021455574058, 40.50060449406688},
    {76.5, 40.5, 4, "37XEE39089147", "37XEE39089148", 37, 'N', 539080.0000, 8491470.0000,
     76.49995036406844, 40.49980796297491, 76.50003994888171, 40.49981772937853},
    {76.5, 40.5, 5, "37XEE3908491475", "37XEE3908591476", 37, 'N', 539084.0000, 8491475.0000,
     76.49999424412462, 40.49996629000423, 76.50000297450293, 40.50000562772773},
    {72.5, 9.1, 0, "33XUA", "33XUB", 33, 'N', 300000.0000, 8000000.0000, 72.01265627071369,
     9.18928447974023, 72.90430130104099, 8.89507972157812},
    {72.5, 9.1, 1, "33XUA05", "33XUA05", 33, 'N', 300000.0000, 8050000.0000, 72.45854854150949,
     9.04598185728012, 72.45854854150949, 9.04598185728012},
    {72.5, 9.1, 2, "33XUA0254", "33XUA0254", 33, 'N', 302000.0000, 8054000.0000, 72.49598243322799,
     9.09345016502139, 72.49598243322799, 9.09345016502139},
    {72.5, 9.1, 3, "33XUA022544", "33XUA023544", 33, 'N', 302200.0000, 8054400.0000,
     72.49972522771395, 9.09820769970310, 72.49981311869414, 9.10117131554742},
    {72.5, 9.1, 4, "33XUA02265442", "33XUA02265442", 33, 'N', 302260.0000, 8054420.0000,
     72.49995631385467, 9.09992744775852, 72.49995631385467, 9.09992744775852},
    {72.5, 9.1, 5, "33XUA0226254424", "33XUA0226354425", 33, 'N', 302262.0000, 8054424.0000,
     72.49999374085355, 9.09997503712684, 72.50000353703442, 9.10000175277872},
    {79.5, 32.8, 0, "35XPJ", "35XPJ", 35, 'N', 600000.0000, 8800000.0000, 79.23213680059911,
     31.79976950580111, 79.23213680059911, 31.79976950580111},
    {79.5, 32.8, 1, "35XPJ13", "35XPJ23", 35, 'N', 610000.0000, 8830000.0000, 79.49202956974295,
     32.41039854178012, 79.48334948912270, 32.89898247077979},
    {79.5, 32.8, 2, "35XPJ1731", "35XPJ1832", 35, 'N', 617000.0000, 8831000.0000, 79.49494643851463,
     32.75733478511845, 79.50297259742315, 32.81110421762320},
    {79.5, 32.8, 3, "35XPJ178316", "35XPJ178316", 35, 'N', 617800.0000, 8831600.0000,
     79.49958534208110, 32.79936698109294, 79.49958534208110, 32.79936698109294},
    {79.5, 32.8, 4, "35XPJ17803164", "35XPJ17813165", 35, 'N', 617800.0000, 8831640.0000,
     79.49994189268689, 32.79956232465553, 79.50002212788787, 32.80010018838463},
    {79.5, 32.8, 5, "35XPJ1780831647", "35XPJ1780831647", 35, 'N', 617808.0000, 8831647.0000,
     79.49999716716381, 32.79998773084566, 79.49999716716381, 32.79998773084566},
    {0.0001, 0.0001, 0, "31NAA", "31NBA", 31, 'N', 100000.0000, 0.0000, 0.00000000000000,
     -0.59232720256672, 0.00000000000000, 0.30497677776788},
    {0.0001, 0.0001, 1, "31NAA60", "31NAA70", 31, 'N', 160000.0000, 0.0000, 0.00000000000000,
     -0.05403717580892, 0.00000000000000, 0.03570554079927},
    {0.0001, 0.0001, 2, "31NAA6600", "31NAA6600", 31, 'N', 166000.0000, 0.0000, 0.00000000000000,
     -0.00019243765962, 0.00000000000000, -0.00019243765962},
    {0.0001, 0.0001, 3, "31NAA660000", "31NAA660000", 31, 'N', 166000.0000, 0.0000,
     0.00000000000000, -0.00019243765962, 0.00000000000000, -0.00019243765962},
    {0.0001, 0.0001, 4, "31NAA66030001", "31NAA66030001", 31, 'N', 166030.0000, 10.0000,
     0.00009034831684, 0.00007679277593, 0.00009034831684, 0.00007679277593},
    {0.0001, 0.0001, 5, "31NAA6603200011", "31NAA6603300011", 31, 'N', 166032.0000, 11.0000,
     0.00009938315017, 0.00009474147348, 0.00009938315099, 0.00010371582275},
    {-1.5, 6.0001, 0, "32MJD", "32MKD", 32, 'S', 100000.0000, 9800000.0000, -1.80587622468571,
     5.40589729362943, -1.80744123592433, 6.30364323620105},
    {-1.5, 6.0001, 1, "32MJD63", "32MJD73", 32, 'S', 160000.0000, 9830000.0000, -1.53583995078057,
     5.94487157331679, -1.53596729780123, 6.03464623994936},
    {-1.5, 6.0001, 2, "32MJD6633", "32MJD6634", 32, 'S', 166000.0000, 9833000.0000,
     -1.50881254278191, 5.99877299493813, -1.49977778430354, 5.99878535135424},
    {-1.5, 6.0001, 3, "32MJD661339", "32MJD661340", 32, 'S', 166100.0000, 9833900.0000,
     -1.50068250055082, 5.99968185913137, -1.49977902391758, 5.99968309106237},
    {-1.5, 6.0001, 4, "32MJD66143397", "32MJD66153398", 32, 'S', 166140.0000, 9833970.0000,
     -1.50005056274024, 6.00004181769635, -1.49996033898806, 6.00013171490491},
    {-1.5, 6.0001, 5, "32MJD6614633975", "32MJD6614633976", 32, 'S', 166146.0000, 9833975.0000,
     -1.50000546326097, 6.00009574370664, -1.49999642849118, 6.00009575602237},
    {64.1355, -21.8954, 0, "27WVM", "27WWM", 27, 'N', 400000.0000, 7100000.0000, 64.01239249864004,
     -23.04565458120631, 64.02679492141017, -21.00000000000000},
    {64.1355, -21.8954, 1, "27WVM51", "27WVM61", 27, 'N', 450000.0000, 7110000.0000,
     64.11291836551334, -22.02641845613988, 64.11422000931285, -21.82116337824505},
    {64.1355, -21.8954, 2, "27WVM5612", "27WVM5612", 27, 'N', 456000.0000, 7112000.0000,
     64.13167955926164, -21.90385067367806, 64.13167955926164, -21.90385067367806},
    {64.1355, -21.8954, 3, "27WVM564124", "27WVM564124", 27, 'N', 456400.0000, 7112400.0000,
     64.13531938108162, -21.89575064888200, 64.13531938108162, -21.89575064888200},
    {64.1355, -21.8954, 4, "27WVM56411241", "27WVM56421242", 27, 'N', 456410.0000, 7112410.0000,
     64.13541037087556, -21.89554812110117, 64.13550136038891, -21.89534559199527},
    {64.1355, -21.8954, 5, "27WVM5641712419", "27WVM5641712420", 27, 'N', 456417.0000, 7112419.0000,
     64.13549200907960, -21.89540692864525, 64.13550098183721, -21.89540721753510},
    {-54.8019, -68.3030, 0, "19FEV", "19FEV", 19, 'S', 500000.0000, 3900000.0000,
     -55.04680630490560, -69.00000000000000, -55.04680630490560, -69.00000000000000},
    {-54.8019, -68.3030, 1, "19FEV42", "19FEV43", 19, 'S', 540000.0000, 3920000.0000,
     -54.86547774814753, -68.37677176237939, -54.77561617117542, -68.37815387963261},
    {-54.8019, -68.3030, 2, "19FEV4427", "19FEV4527", 19, 'S', 544000.0000, 3927000.0000,
     -54.80223982147270, -68.31551876839316, -54.80215109624342, -68.29996365395147},
    {-54.8019, -68.3030, 3, "19FEV448270", "19FEV448270", 19, 'S', 544800.0000, 3927000.0000,
     -54.80216900076677, -68.30307467001354, -54.80216900076677, -68.30307467001354},
    {-54.8019, -68.3030, 4, "19FEV44802702", "19FEV44812703", 19, 'S', 544800.0000, 3927020.0000,
     -54.80198927975142, -68.30307776241480, -54.80189852591817, -68.30292375875302},
    {-54.8019, -68.3030, 5, "19FEV4480527029", "19FEV4480527030", 19, 'S', 544805.0000,
     3927029.0000, -54.80190795865573, -68.30300137904108, -54.80189897260484, -68.30300153367672},
    {1.2921, 103.7764, 0, "48NUG", "48NVG", 48, 'N', 300000.0000, 100000.0000, 0.90428260986496,
     103.20272477091808, 0.90461857889313, 104.10125106292465},
    {1.2921, 103.7764, 1, "48NUG64", "48NUG64", 48, 'N', 360000.0000, 140000.0000, 1.26631442684291,
     103.74165181015186, 1.26631442684291, 103.74165181015186},
    {1.2921, 103.7764, 2, "48NUG6342", "48NUG6443", 48, 'N', 363000.0000, 142000.0000,
     1.28441778873483, 103.76860358762238, 1.29346732588356, 103.77758619021137},
    {1.2921, 103.7764, 3, "48NUG638428", "48NUG639428", 48, 'N', 363800.0000, 142800.0000,
     1.29165741616962, 103.77578966461897, 1.29165785172868, 103.77668835984483},
    {1.2921, 103.7764, 4, "48NUG63864284", "48NUG63874285", 48, 'N', 363860.0000, 142840.0000,
     1.29201948515786, 103.77632870860465, 1.29210998062768, 103.77641853486172},
    {1.2921, 103.7764, 5, "48NUG6386742848", "48NUG6386842849", 48, 'N', 363867.0000, 142848.0000,
     1.29209187717699, 103.77639158265549, 1.29210092672407, 103.77640056528135},
    {0.3, 179.7, 0, "60NZF", "60NZF", 60, 'N', 800000.0000, 0.0000, 0.00000000000000,
     179.69502322223212, 0.00000000000000, 179.69502322223212},
    {0.3, 179.7, 1, "60NZF03", "60NZF03", 60, 'N', 800000.0000, 30000.0000, 0.27111716408033,
     179.69505321490792, 0.27111716408033, 179.69505321490792},
    {0.3, 179.7, 2, "60NZF0033", "60NZF0133", 60, 'N', 800000.0000, 33000.0000, 0.29822887528379,
     179.69505951344004, 0.29822665732225, 179.70403634143818},
    {0.3, 179.7, 3, "60NZF005331", "60NZF006332", 60, 'N', 800500.0000, 33100.0000,
     0.29913148754632, 179.69954815643294, 0.30003498469138, 179.70044606036222},
    {0.3, 179.7, 4, "60NZF00553319", "60NZF00553320", 60, 'N', 800550.0000, 33190.0000,
     0.29994472429076, 179.69999719697367, 0.30003509628932, 179.69999721913899},
    {0.3, 179.7, 5, "60NZF0055033196", "60NZF0055033196", 60, 'N', 800550.0000, 33196.0000,
     0.29999894748989, 179.69999721027204, 0.29999894748989, 179.69999721027204},
    {-77.8419, 166.6863, 0, "58CEU", "58CEV", 58, 'S', 500000.0000, 1300000.0000,
     -78.37302567222363, 165.00000000000000, -77.47696757225130, 165.00000000000000},
    {-77.8419, 166.6863, 1, "58CEU35", "58CEU46", 58, 'S', 530000.0000, 1350000.0000,
     -77.92205729798724, 166.28443866504858, -77.83019965808130, 166.69995218341083},
    {-77.8419, 166.6863, 2, "58CEU3958", "58CEU4059", 58, 'S', 539000.0000, 1358000.0000,
     -77.84837002066774, 166.65988341050058, -77.83915634938323, 166.70118534501057},
    {-77.8419, 166.6863, 3, "58CEU396587", "58CEU396587", 58, 'S', 539600.0000, 1358700.0000,
     -77.84194687619123, 166.68454972906966, -77.84194687619123, 166.68454972906966},
    {-77.8419, 166.6863, 4, "58CEU39645870", "58CEU39645870", 58, 'S', 539640.0000, 1358700.0000,
     -77.84193657080112, 166.68625033431979, -77.84193657080112, 166.68625033431979},
    {-77.8419, 166.6863, 5, "58CEU3964158704", "58CEU3964158704", 58, 'S', 539641.0000,
     1358704.0000, -77.84190048602287, 166.68628795516966, -77.84190048602287, 166.68628795516966},
    {86.1, 120.3, 0, "ZFK", "ZGK", 0, 'N', 2300000.0000, 2200000.0000, 86.75328630795150,
     123.69006752597979, 85.97350387481501, 116.56505117707799},
    {86.1, 120.3, 1, "ZFK71", "ZFK72", 0, 'N', 2370000.0000, 2210000.0000, 86.16939063007132,
     119.57783868126134, 86.12418890413056, 120.73548770192011},
    {86.1, 120.3, 2, "ZFK7318", "ZFK7419", 0, 'N', 2373000.0000, 2218000.0000, 86.11007507867797,
     120.30416772522454, 86.09776618190416, 120.35159698221544},
    {86.1, 120.3, 3, "ZFK739185", "ZFK740185", 0, 'N', 2373900.0000, 2218500.0000,
     86.10081419861153, 120.30119725011566, 86.10003737858270, 120.29452325979790},
    {86.1, 120.3, 4, "ZFK73981853", "ZFK73981854", 0, 'N', 2373980.0000, 2218530.0000,
     86.10005657857309, 120.29928423376739, 86.10001118607275, 120.30042631014734},
    {86.1, 120.3, 5, "ZFK7398218537", "ZFK7398318538", 0, 'N', 2373982.0000, 2218537.0000,
     86.10000926793009, 120.29995021562296, 86.09999696063309, 120.29999768534316},
    {88.5, -50.2, 0, "YYF", "YZG", 0, 'N', 1800000.0000, 1800000.0000, 87.45281669454060,
     -45.00000000000000, 88.72625736726900, -45.00000000000000},
    {88.5, -50.2, 1, "YYF79", "YYF79", 0, 'N', 1870000.0000, 1890000.0000, 88.46623803714776,
     -49.76364169072618, 88.46623803714776, -49.76364169072618},
    {88.5, -50.2, 2, "YYF7293", "YYF7293", 0, 'N', 1872000.0000, 1893000.0000, 88.49741179510563,
     -50.10648457232838, 88.49741179510563, -50.10648457232838},
    {88.5, -50.2, 3, "YYF720933", "YYF720934", 0, 'N', 1872000.0000, 1893300.0000,
     88.49914311911675, -50.18562433162077, 88.49971959004429, -50.21204482709152},
    {88.5, -50.2, 4, "YYF72049339", "YYF72059339", 0, 'N', 1872040.0000, 1893390.0000,
     88.49993873144109, -50.20059538024105, 88.50000791943931, -50.19839325149644},
    {88.5, -50.2, 5, "YYF7204693393", "YYF7204693393", 0, 'N', 1872046.0000, 1893393.0000,
     88.49999753833239, -50.20006704650917, 88.49999753833239, -50.20006704650917},
    {-85.3, 15.1, 0, "BBT", "BBT", 0, 'S', 2100000.0000, 2500000.0000, -85.40963177968833,
     11.30993247402021, -85.40963177968833, 11.30993247402021},
    {-85.3, 15.1, 1, "BBT30", "BBT40", 0, 'S', 2130000.0000, 2500000.0000, -85.34918330503359,
     14.57421619803874, -85.32574323186975, 15.64224645720873},
    {-85.3, 15.1, 2, "BBT3604", "BBT3604", 0, 'S', 2136000.0000, 2504000.0000, -85.30059427942024,
     15.10109816138544, -85.30059427942024, 15.10109816138544},
    {-85.3, 15.1, 3, "BBT360040", "BBT360041", 0, 'S', 2136000.0000, 2504000.0000,
     -85.30059427942024, 15.10109816138544, -85.29972607250794, 15.09823928356249},
    {-85.3, 15.1, 4, "BBT36000406", "BBT36010407", 0, 'S', 2136000.0000, 2504060.0000,
     -85.30007335661328, 15.09938270780772, -85.29996311033946, 15.10015636585054},
    {-85.3, 15.1, 5, "BBT3600704066", "BBT3600804066", 0, 'S', 2136007.0000, 2504066.0000,
     -85.30000486636776, 15.09995286055783, -85.30000252376874, 15.10005881401644},
    {-87.2, -110.6, 0, "AXL", "AXM", 0, 'S', 1700000.0000, 1800000.0000, -86.75328630795150,
     -123.69006752597979, -87.15227499264272, -108.43494882292201},
    {-87.2, -110.6, 1, "AXL09", "AXL19", 0, 'S', 1700000.0000, 1890000.0000, -87.12254116932759,
     -110.13630342824814, -87.20688482222043, -110.77225468204583},
    {-87.2, -110.6, 2, "AXL0890", "AXL0991", 0, 'S', 1708000.0000, 1890000.0000, -87.19004403510428,
     -110.64201031563719, -87.20163652022171, -110.53446488933726},
    {-87.2, -110.6, 3, "AXL089906", "AXL090906", 0, 'S', 1708900.0000, 1890600.0000,
     -87.19952881298539, -110.59701697815294, -87.20037144457170, -110.60350048880461},
    {-87.2, -110.6, 4, "AXL08959060", "AXL08959060", 0, 'S', 1708950.0000, 1890600.0000,
     -87.19995013322229, -110.60025824551441, -87.19995013322229, -110.60025824551441},
    {-87.2, -110.6, 5, "AXL0895490603", "AXL0895590603", 0, 'S', 1708954.0000, 1890603.0000,
     -87.19999334031955, -110.60000011602669, -87.20000176664806, -110.60006495155073},
};

// UPS here takes its scale from the latitude of true scale 81.114528
// degrees where GeographicLib uses exactly 0.994 at the pole: distances from
// the pole differ by about a centimetre at the edge of the caps (see
// UtmUpsTest.cpp). Geodetic corners of polar squares are held to 2 cm.
constexpr double kUpsDegrees = 2.0e-7;

void ExpectNearPoint(double lat, double lon, double refLat, double refLon, double tolerance) {
    EXPECT_NEAR(Deg(lat), refLat, tolerance);
    if (std::fabs(refLat) < 90.0) {
        double dl = Deg(lon) - refLon;
        if (dl > 180.0)
            dl -= 360.0;
        if (dl < -180.0)
            dl += 360.0;
        EXPECT_NEAR(dl * std::cos(Rad(refLat)), 0.0, tolerance);
    }
}

TEST_F(MgrsUsng, StringsAndCornersAgreeWithGeographicLibAtEveryPrecision) {
    for (const Reference& r : kReference) {
        SCOPED_TRACE(testing::Message() << r.lat << " " << r.lon << " precision " << r.precision);
        char text[MGRS_StringSize] = {};
        ASSERT_EQ(MgrsForward(Rad(r.lat), Rad(r.lon), r.precision, text), 0u);
        const std::string expected = r.zone == 0 ? std::string("  ") + r.mgrs : r.mgrs;
        EXPECT_EQ(std::string(text), expected);
        char usng[USNG_StringSize] = {};
        ASSERT_EQ(UsngForward(Rad(r.lat), Rad(r.lon), r.precision, usng), 0u);
        EXPECT_EQ(std::string(usng), r.zone == 0 ? std::string("  ") + r.usng : r.usng);

        char h = '?';
        double e = -1.0, n = -1.0;
        if (r.zone == 0) {
            ASSERT_EQ(MgrsToUps(r.mgrs, h, e, n), 0u);
        } else {
            std::int32_t zone = 0;
            ASSERT_EQ(MgrsToUtm(r.mgrs, zone, h, e, n), 0u);
            EXPECT_EQ(zone, r.zone);
        }
        EXPECT_EQ(h, r.hemisphere);
        EXPECT_NEAR(e, r.easting, kMillimetre);
        EXPECT_NEAR(n, r.northing, kMillimetre);

        const double tolerance = r.zone == 0 ? kUpsDegrees : kMillimetreDegrees;
        double lat = 0.0, lon = 0.0;
        ASSERT_EQ(MgrsInverse(r.mgrs, lat, lon), 0u);
        ExpectNearPoint(lat, lon, r.cornerLat, r.cornerLon, tolerance);
        ASSERT_EQ(UsngInverse(r.usng, lat, lon), 0u);
        ExpectNearPoint(lat, lon, r.usngLat, r.usngLon, tolerance);
    }
}

TEST_F(MgrsUsng, FromUtmAndUpsWriteTheSameStringsAsTheForwardConversion) {
    for (const Reference& r : kReference) {
        SCOPED_TRACE(testing::Message() << r.lat << " " << r.lon << " precision " << r.precision);
        char h = '?';
        double e = 0.0, n = 0.0;
        char text[MGRS_StringSize] = {};
        char usng[USNG_StringSize] = {};
        if (r.zone == 0) {
            ASSERT_EQ(UpsForward(Rad(r.lat), Rad(r.lon), h, e, n), 0u);
            ASSERT_EQ(MgrsFromUps(h, e, n, r.precision, text), 0u);
            ASSERT_EQ(UsngFromUps(h, e, n, r.precision, usng), 0u);
        } else {
            std::int32_t zone = 0;
            ASSERT_EQ(UtmForward(Rad(r.lat), Rad(r.lon), zone, h, e, n), 0u);
            ASSERT_EQ(MgrsFromUtm(zone, h, e, n, r.precision, text), 0u);
            ASSERT_EQ(UsngFromUtm(zone, h, e, n, r.precision, usng), 0u);
        }
        EXPECT_EQ(std::string(text).substr(r.zone == 0 ? 2 : 0), r.mgrs);
        EXPECT_EQ(std::string(usng).substr(r.zone == 0 ? 2 : 0), r.usng);
    }
}

// Hand-written corner cases of the lettering and the rounding rules.
TEST_F(MgrsUsng, ReductionToThePrecision) {
    struct Case {
        const char* what;
        std::int32_t zone;
        char hemisphere;
        double easting, northing;
        long precision;
        const char* mgrs;
        const char* usng;
    };
    const Case cases[] = {
        // GeoConvert: "31n 499999.7 5000000.2" -> 31TDL9999900000
        {"99999.7 stays in its square", 31, 'N', 499999.7, 5000000.2, 5, "31TDL9999900000",
         "31TEL0000000000"},
        // GeoConvert -p -1: "31n 512355 5000000" -> 31TEL12350000
        {"a half: truncated, or to even", 31, 'N', 512355.0, 5000000.0, 4, "31TEL12350000",
         "31TEL12360000"},
        {"a half already even", 31, 'N', 512345.0, 5000000.0, 4, "31TEL12340000", "31TEL12340000"},
        {"precision 0: zone and letters", 31, 'N', 512345.0, 5000000.0, 0, "31TEL", "31TEL"},
        // Rounded onto the equator from the south: latitude 0, northing 0.
        // GeoConvert -p -5: "32s 166032 9999988.9" -> 32MJE
        {"rounded onto the equator", 32, 'S', 166032.0, 9999988.9, 0, "32MJE", "32NKF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        char mgrs[MGRS_StringSize] = {};
        char usng[USNG_StringSize] = {};
        EXPECT_EQ(MgrsFromUtm(c.zone, c.hemisphere, c.easting, c.northing, c.precision, mgrs), 0u);
        EXPECT_EQ(UsngFromUtm(c.zone, c.hemisphere, c.easting, c.northing, c.precision, usng), 0u);
        EXPECT_EQ(std::string(mgrs), c.mgrs);
        EXPECT_EQ(std::string(usng), c.usng);
    }
}

TEST_F(MgrsUsng, ZoneThirtyOneInSouthWestNorwayIsWrittenInZoneThirtyTwo) {
    ASSERT_EQ(UtmSetParameters(kWgs84A, kWgs84F, 31), 0u);
    std::int32_t zone = 0;
    char h = '?';
    double e = 0.0, n = 0.0;
    ASSERT_EQ(UtmForward(Rad(60.0), Rad(5.0), zone, h, e, n), 0u);
    ASSERT_EQ(zone, 31);
    char fromZone31[MGRS_StringSize] = {};
    char forward[MGRS_StringSize] = {};
    EXPECT_EQ(MgrsFromUtm(zone, h, e, n, 5, fromZone31), 0u);
    EXPECT_EQ(MgrsForward(Rad(60.0), Rad(5.0), 5, forward), 0u);
    EXPECT_EQ(std::string(fromZone31).substr(0, 3), "32V");
    EXPECT_EQ(std::string(fromZone31), std::string(forward));
}

TEST_F(MgrsUsng, StringsAreCheckedBeforeAnythingIsWritten) {
    struct Case {
        const char* text;
        std::uint32_t toUtm;
        std::uint32_t toUps;
    };
    const Case cases[] = {
        {"31NEA0000000000", 0, MGRS_StringError},
        {"  ZFK7398218537", MGRS_StringError, 0},
        {"ZFK7398218537", MGRS_StringError, 0},
        {"31nea12", 0, MGRS_StringError},
        {"32XMA", MGRS_StringError, MGRS_StringError}, // Svalbard has no zone 32
        {"34XEA", MGRS_StringError, MGRS_StringError},
        {"36XEA", MGRS_StringError, MGRS_StringError},
        {"31NIA", MGRS_StringError, MGRS_StringError}, // I and O are no letters of the grid
        {"31NAO", MGRS_StringError, MGRS_StringError},
        {"31NEA123", MGRS_StringError, MGRS_StringError},          // odd digit count
        {"31NEA123456789012", MGRS_StringError, MGRS_StringError}, // more than ten
        {"123NEA", MGRS_StringError, MGRS_StringError},
        {"61NEA", MGRS_StringError, MGRS_StringError},
        {"0NEA", MGRS_StringError, MGRS_StringError},
        {"31NE12", MGRS_StringError, MGRS_StringError},
        {"31NEAB12", MGRS_StringError, MGRS_StringError},
        {"31NEA12 34", MGRS_StringError, MGRS_StringError}, // nothing may follow the digits
        {"31NEA12x", MGRS_StringError, MGRS_StringError},
        {"", MGRS_StringError, MGRS_StringError},
        {"31NJA", MGRS_StringError, MGRS_StringError}, // zone 31 has columns A to H
        {"32NAA", MGRS_StringError, MGRS_StringError}, // zone 32 has J to R
        {"31NAW", MGRS_StringError, MGRS_StringError}, // rows end at V
        {"31AAA", MGRS_StringError, MGRS_StringError}, // A is a polar letter
        {"YDA", MGRS_StringError, MGRS_StringError},   // Y has columns J to Z
        {"ZKA", MGRS_StringError, MGRS_StringError},   // Z has A to J
        {"BNA", MGRS_StringError, MGRS_StringError},   // D, E, M, N, V, W are never used
        {"AVA", MGRS_StringError, MGRS_StringError},
        {"YJQ", MGRS_StringError, MGRS_StringError}, // the north rows end at P
        {"CJA", MGRS_StringError, MGRS_StringError}, // C without a zone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::int32_t zone = -1;
        char h = '?';
        double e = -1.0, n = -1.0;
        EXPECT_EQ(MgrsToUtm(c.text, zone, h, e, n), c.toUtm);
        EXPECT_EQ(UsngToUtm(c.text, zone, h, e, n), c.toUtm);
        if (c.toUtm) {
            EXPECT_EQ(e, -1.0);
        }
        EXPECT_EQ(MgrsToUps(c.text, h, e, n), c.toUps);
        EXPECT_EQ(UsngToUps(c.text, h, e, n), c.toUps);
        if (c.toUtm && c.toUps) {
            EXPECT_EQ(e, -1.0);
            double lat = -1.0, lon = -1.0;
            EXPECT_EQ(MgrsInverse(c.text, lat, lon), MGRS_StringError);
            EXPECT_EQ(lat, -1.0);
        }
    }
}

TEST_F(MgrsUsng, APointOutsideItsBandIsAnErrorInMgrsAndAWarningInUsng) {
    // The square of 51.4779 N -0.0015 (band U) named with band T.
    const char* wrongBand = "30TYC0821307235";
    double lat = -1.0, lon = -1.0;
    EXPECT_EQ(MgrsInverse(wrongBand, lat, lon), MGRS_LatitudeError);
    EXPECT_EQ(lat, -1.0);
    std::int32_t zone = 0;
    char h = '?';
    double e = -1.0, n = -1.0;
    EXPECT_EQ(MgrsToUtm(wrongBand, zone, h, e, n), MGRS_LatitudeError);
    EXPECT_EQ(UsngToUtm(wrongBand, zone, h, e, n), USNG_BandWarning);
    EXPECT_NEAR(n, 5707235.0, kMillimetre);
    EXPECT_EQ(UsngInverse(wrongBand, lat, lon), USNG_BandWarning);
    EXPECT_NEAR(Deg(lat), 51.47789425147135, kMillimetreDegrees);

    // At precision 0 the band may be missed by up to a degree: the square
    // 32VKM reaches south of 56 degrees.
    EXPECT_EQ(MgrsToUtm("32VKM", zone, h, e, n), 0u);
}

TEST_F(MgrsUsng, ArgumentChecks) {
    char text[MGRS_StringSize] = "unchanged";
    struct ForwardCase {
        double lat, lon;
        long precision;
        std::uint32_t flags;
    };
    const ForwardCase forward[] = {
        {90.1, 0.0, 5, MGRS_LatitudeError},    {0.0, 361.0, 5, MGRS_LongitudeError},
        {0.0, -180.1, 5, MGRS_LongitudeError}, {0.0, 0.0, 6, MGRS_PrecisionError},
        {0.0, 0.0, -1, MGRS_PrecisionError},   {91.0, 400.0, 9, 0x0B},
    };
    for (const ForwardCase& c : forward) {
        EXPECT_EQ(MgrsForward(Rad(c.lat), Rad(c.lon), c.precision, text), c.flags);
        EXPECT_EQ(UsngForward(Rad(c.lat), Rad(c.lon), c.precision, text), c.flags);
        EXPECT_EQ(std::string(text), "unchanged");
    }
    struct FromUtmCase {
        std::int32_t zone;
        char hemisphere;
        double easting, northing;
        long precision;
        std::uint32_t flags;
    };
    const FromUtmCase fromUtm[] = {
        {0, 'N', 500000.0, 0.0, 5, MGRS_ZoneError},
        {61, 'N', 500000.0, 0.0, 5, MGRS_ZoneError},
        {31, 'X', 500000.0, 0.0, 5, MGRS_HemisphereError},
        {31, 'N', 99999.0, 0.0, 5, MGRS_EastingError},
        {31, 'N', 900000.1, 0.0, 5, MGRS_EastingError},
        {31, 'N', 500000.0, -1.0, 5, MGRS_NorthingError},
        {31, 'S', 500000.0, 10000001.0, 5, MGRS_NorthingError},
        {31, 'N', 500000.0, 0.0, 6, MGRS_PrecisionError},
        {0, 'Q', 0.0, -1.0, -1, 0x3C8},
    };
    for (const FromUtmCase& c : fromUtm) {
        SCOPED_TRACE(testing::Message()
                     << c.zone << c.hemisphere << " " << c.easting << " " << c.northing);
        EXPECT_EQ(MgrsFromUtm(c.zone, c.hemisphere, c.easting, c.northing, c.precision, text),
                  c.flags);
        EXPECT_EQ(UsngFromUtm(c.zone, c.hemisphere, c.easting, c.northing, c.precision, text),
                  c.flags);
        EXPECT_EQ(std::string(text), "unchanged");
    }
    struct FromUpsCase {
        char hemisphere;
        double easting, northing;
        long precision;
        std::uint32_t flags;
    };
    const FromUpsCase fromUps[] = {
        {'X', 2000000.0, 2000000.0, 5, MGRS_HemisphereError},
        {'N', -1.0, 2000000.0, 5, MGRS_EastingError},
        {'S', 2000000.0, 4000001.0, 5, MGRS_NorthingError},
        {'S', 2000000.0, 2000000.0, 6, MGRS_PrecisionError},
        {'Q', 4000001.0, -1.0, -1, 0x2C8},
    };
    for (const FromUpsCase& c : fromUps) {
        SCOPED_TRACE(testing::Message() << c.hemisphere << " " << c.easting << " " << c.northing);
        EXPECT_EQ(MgrsFromUps(c.hemisphere, c.easting, c.northing, c.precision, text), c.flags);
        EXPECT_EQ(UsngFromUps(c.hemisphere, c.easting, c.northing, c.precision, text), c.flags);
        EXPECT_EQ(std::string(text), "unchanged");
    }
    // A UPS point near the edge of the cap, south of the polar squares'
    // lettering (83.6 N 0 E: northing 1288738): no letters fit it.
    EXPECT_EQ(MgrsFromUps('N', 2000000.0, 1288738.0, 5, text), MGRS_NorthingError);

    EXPECT_EQ(MgrsSetParameters(0.0, kWgs84F, "WE"), MGRS_SemiMajorAxisError);
    EXPECT_EQ(MgrsSetParameters(kWgs84A, 1.0 / 249.0, "WE"), MGRS_InverseFlatteningError);
    EXPECT_EQ(UsngSetParameters(-1.0, 1.0 / 351.0, "WE"), 0x30u);
    double a = 0.0, f = 0.0;
    char code[3] = {};
    MgrsGetParameters(a, f, code);
    EXPECT_EQ(a, kWgs84A); // a refused set changes nothing
    EXPECT_STREQ(code, "WE");
}

TEST_F(MgrsUsng, PolarLatitudesUseUpsFromEightyFourAndMinusEighty) {
    struct Case {
        double lat;
        char first;
    };
    const Case cases[] = {{84.2, 'Z'}, {83.9, '3'}, {-80.2, 'B'}, {-79.9, '3'}};
    for (const Case& c : cases) {
        char text[MGRS_StringSize] = {};
        ASSERT_EQ(MgrsForward(Rad(c.lat), Rad(10.0), 3, text), 0u) << c.lat;
        EXPECT_EQ(text[c.first == '3' ? 0 : 2], c.first) << text;
    }
}

TEST_F(MgrsUsng, OldEllipsoidsLetterTheRowsFromAnotherStartInUsng) {
    const double clarkeA = 6378206.4;
    const double clarkeF = 1.0 / 294.9786982;
    ASSERT_EQ(UsngSetParameters(clarkeA, clarkeF, "CC"), 0u);
    ASSERT_EQ(MgrsSetParameters(clarkeA, clarkeF, "CC"), 0u);
    struct Case {
        std::int32_t zone;
        const char* usng;
        const char* mgrs;
    };
    // At the equator the odd zones start 1000 km and the even zones 500 km
    // into the 2000 km row cycle, where MGRS starts them at 0 and 1500 km.
    const Case cases[] = {{31, "31NEL", "31NEA"}, {32, "32NNR", "32NNF"}};
    for (const Case& c : cases) {
        char usng[USNG_StringSize] = {};
        char mgrs[MGRS_StringSize] = {};
        ASSERT_EQ(UsngFromUtm(c.zone, 'N', 500000.0, 0.0, 0, usng), 0u);
        ASSERT_EQ(MgrsFromUtm(c.zone, 'N', 500000.0, 0.0, 0, mgrs), 0u);
        EXPECT_STREQ(usng, c.usng);
        EXPECT_STREQ(mgrs, c.mgrs);
        std::int32_t zone = 0;
        char h = '?';
        double e = -1.0, n = -1.0;
        EXPECT_EQ(UsngToUtm(usng, zone, h, e, n), 0u);
        EXPECT_EQ(n, 0.0);
    }
}

} // namespace
